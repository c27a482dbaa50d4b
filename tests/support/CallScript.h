#pragma once

// The record-and-queue machinery of every scripted fake of an adapter
// library (the nine calls, the vendors' libraries): each call is logged with
// the arguments it received, and answers with the next status queued for its
// kind, or success when none is queued. Record needs a member `call`.

#include <deque>
#include <initializer_list>
#include <map>
#include <vector>

template <typename Call, typename Status, typename Record>
struct CallScript {
  std::map<Call, std::deque<Status>> statuses;  // next statuses per kind
  std::vector<Record> log;

  // The next calls of this kind return these statuses, in order.
  void Queue(Call call, std::initializer_list<Status> next) {
    auto& queue = statuses[call];
    queue.insert(queue.end(), next.begin(), next.end());
  }

  // The status for this call: the next queued, else success.
  Status Next(Call call, Status success) {
    auto& queue = statuses[call];
    if (queue.empty()) return success;
    const Status status = queue.front();
    queue.pop_front();
    return status;
  }

  // Logs a call answered with status and gives its record to fill in.
  Record& Log(Call call, Status status) {
    Record record{};
    record.call = call;
    record.status = status;
    log.push_back(record);
    return log.back();
  }

  // The logged calls of one kind, in order.
  std::vector<Record> CallsOf(Call call) const {
    std::vector<Record> calls;
    for (const Record& record : log)
      if (record.call == call) calls.push_back(record);
    return calls;
  }
};
