// quorvane-ds: the Tango device server, one device of class TTCvi per
// module. This file only converts between Tango and TTCviDevice, which holds
// every mapping onto the panel's model; a refusal becomes a DevFailed whose
// reason is its kind and whose description is the panel's text.

#include <tango.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "tango/TTCviDevice.h"

namespace {

constexpr const char* kClassName = "TTCvi";

Tango::DevState TangoState(DeviceState state) {
  switch (state) {
    case DeviceState::On:
      return Tango::ON;
    case DeviceState::Off:
      return Tango::OFF;
    case DeviceState::Fault:
      return Tango::FAULT;
    case DeviceState::Disable:
      return Tango::DISABLE;
  }
  return Tango::UNKNOWN;
}

[[noreturn]] void Raise(const char* reason, const std::string& text, const char* origin) {
  Tango::DevErrorList errors(1);
  errors.length(1);
  errors[0].reason = CORBA::string_dup(reason);
  errors[0].desc = CORBA::string_dup(text.c_str());
  errors[0].origin = CORBA::string_dup(origin);
  errors[0].severity = Tango::ERR;
  throw Tango::DevFailed(errors);
}

[[noreturn]] void BadArgument(const std::string& text, const char* origin) {
  Raise("API_IncompatibleCmdArgumentType", text, origin);
}

class TTCvi : public Tango::Device_5Impl {
 public:
  TTCvi(Tango::DeviceClass* type, const std::string& name)
      : Tango::Device_5Impl(type, name.c_str()), Core_(Environment()) {
    init_device();
  }
  ~TTCvi() override { delete_device(); }

  void init_device() override {
    DeviceProperties properties = ReadProperties();
    Core_.Init(properties);
    // The reads of CSR1 and CSR2 that give their events and State's.
    if (properties.PollPeriod <= 0) return;
    for (const char* name : {"CSR1", "CSR2", "State"}) {
      try {
        if (!is_attribute_polled(name)) poll_attribute(name, properties.PollPeriod);
      } catch (const Tango::DevFailed& failure) {
        std::cerr << "quorvane-ds: " << name << " cannot be polled: " << failure.errors[0].desc.in()
                  << '\n';
      }
    }
  }
  void delete_device() override { Core_.Off(); }
  Tango::DevState dev_state() override { return TangoState(Core_.State()); }
  Tango::ConstDevString dev_status() override {
    Status_ = Core_.Status();
    return Status_.c_str();
  }

  // Runs one access with the client's host as its cause; a refusal is the
  // client's DevFailed.
  template <typename Action>
  auto Call(const char* origin, Action&& action) {
    try {
      return action(Core_, ClientHost());
    } catch (const EDeviceRefused& refused) {
      Raise(RefusalReason(refused.Kind()), refused.Message(), origin);
    }
  }

  // What the read callbacks hand to Tango: it reads them after the call.
  Tango::DevUShort Csr1 = 0, Csr2 = 0;
  Tango::DevShort Source = 0, Rate = 0;
  Tango::DevBoolean Orbit = false;
  Tango::DevBoolean Empty[4] = {}, Full[4] = {}, Retransmit[4] = {};
  Tango::DevUShort Modes[4] = {};
  Tango::DevLong Delays[4] = {}, Durations[4] = {};
  std::vector<std::string> Presets, Sequences, RxNames;
  std::vector<Tango::DevString> PresetPointers, SequencePointers, RxPointers;

 private:
  DeviceEnvironment Environment() {
    DeviceEnvironment environment = DefaultDeviceEnvironment();
    environment.Notice = [this](const std::string& text) {
      std::cerr << text << '\n';
      if (get_logger() != nullptr) get_logger()->info(text);
    };
    return environment;
  }

  DeviceProperties ReadProperties() {
    DeviceProperties properties;
    if (!Tango::Util::_UseDb) return properties;
    const char* const names[] = {"Adapter", "Bridge", "Link",       "Node",      "Host",
                                 "Library", "Base",   "ConfigFile", "PollPeriod"};
    std::string* const values[] = {&properties.Adapter, &properties.Bridge,    &properties.Link,
                                   &properties.Node,    &properties.Host,      &properties.Library,
                                   &properties.Base,    &properties.ConfigFile};
    Tango::DbData data;
    for (const char* name : names) data.push_back(Tango::DbDatum(name));
    get_db_device()->get_property(data);
    for (std::size_t i = 0; i < std::size(values); ++i)
      if (!data[i].is_empty()) data[i] >> *values[i];
    Tango::DevLong period = properties.PollPeriod;
    if (!data[std::size(values)].is_empty()) data[std::size(values)] >> period;
    properties.PollPeriod = period;
    return properties;
  }

  // The host the request came from ("127.0.0.1"); empty for the server's
  // own polling.
  std::string ClientHost() {
    Tango::client_addr* client = get_client_ident();
    if (client == nullptr) return "";
    std::string address = client->client_ip;
    const std::string giop = "giop:tcp:";
    if (address.rfind(giop, 0) == 0) address.erase(0, giop.size());
    const std::size_t port = address.rfind(':');
    if (port != std::string::npos && address.find(']') == std::string::npos) address.erase(port);
    return address;
  }

  TTCviDevice Core_;
  std::string Status_;
};

TTCvi& Device(Tango::DeviceImpl* device) { return *static_cast<TTCvi*>(device); }

// --- attributes: one class for scalars, one for spectra, each over two callbacks.

using ReadAction = std::function<void(TTCvi&, Tango::Attribute&)>;
using WriteAction = std::function<void(TTCvi&, Tango::WAttribute&)>;

// A Tango attribute of either shape whose read and write are callbacks.
template <class TangoAttribute>
class CallbackAttribute : public TangoAttribute {
 public:
  template <class... Shape>
  CallbackAttribute(ReadAction read, WriteAction write, const char* name, long type, Shape... shape)
      : TangoAttribute(name, type, write ? Tango::READ_WRITE : Tango::READ, shape...),
        Read_(std::move(read)),
        Write_(std::move(write)) {}
  void read(Tango::DeviceImpl* device, Tango::Attribute& attribute) override {
    Read_(Device(device), attribute);
  }
  void write(Tango::DeviceImpl* device, Tango::WAttribute& attribute) override {
    Write_(Device(device), attribute);
  }
  bool is_allowed(Tango::DeviceImpl*, Tango::AttReqType) override { return true; }

 private:
  ReadAction Read_;
  WriteAction Write_;
};

class ScalarAttribute : public CallbackAttribute<Tango::Attr> {
 public:
  ScalarAttribute(const char* name, long type, ReadAction read, WriteAction write = {})
      : CallbackAttribute(std::move(read), std::move(write), name, type) {}
};

class ArrayAttribute : public CallbackAttribute<Tango::SpectrumAttr> {
 public:
  ArrayAttribute(const char* name, long type, long length, ReadAction read, WriteAction write = {})
      : CallbackAttribute(std::move(read), std::move(write), name, type, length) {}
};

// A list of names as a DevString spectrum, kept in the device.
void SetNames(Tango::Attribute& attribute, std::vector<std::string>& kept,
              std::vector<Tango::DevString>& pointers, std::vector<std::string> names) {
  kept = std::move(names);
  pointers.clear();
  for (std::string& name : kept) pointers.push_back(name.data());
  attribute.set_value(pointers.data(), static_cast<long>(pointers.size()));
}

template <typename T, std::size_t N>
void CopyFour(const std::array<T, N>& from, auto* to) {
  for (std::size_t n = 0; n < N; ++n) to[n] = from[n];
}

std::vector<bool> WrittenBooleans(Tango::WAttribute& attribute) {
  const Tango::DevBoolean* values = nullptr;
  attribute.get_write_value(values);
  return std::vector<bool>(values, values + attribute.get_write_value_length());
}

std::vector<std::int32_t> WrittenLongs(Tango::WAttribute& attribute) {
  const Tango::DevLong* values = nullptr;
  attribute.get_write_value(values);
  return std::vector<std::int32_t>(values, values + attribute.get_write_value_length());
}

// --- commands.

using CommandAction = std::function<CORBA::Any*(TTCvi&, const CORBA::Any&)>;

class DeviceCommand : public Tango::Command {
 public:
  DeviceCommand(const char* name, Tango::CmdArgType in, const char* description, CommandAction run)
      : Tango::Command(name, in, Tango::DEV_VOID, description, "", Tango::OPERATOR),
        Run_(std::move(run)) {}
  CORBA::Any* execute(Tango::DeviceImpl* device, const CORBA::Any& in) override {
    return Run_(Device(device), in);
  }
  bool is_allowed(Tango::DeviceImpl*, const CORBA::Any&) override { return true; }

 private:
  CommandAction Run_;
};

const Tango::DevVarLongStringArray& LongsAndStrings(const CORBA::Any& in, const char* origin) {
  const Tango::DevVarLongStringArray* value = nullptr;
  if (!(in >>= value) || value == nullptr) BadArgument("A DevVarLongStringArray is wanted", origin);
  return *value;
}

std::vector<std::int32_t> Longs(const Tango::DevVarLongStringArray& value) {
  std::vector<std::int32_t> longs;
  for (CORBA::ULong i = 0; i < value.lvalue.length(); ++i) longs.push_back(value.lvalue[i]);
  return longs;
}

std::vector<std::string> Strings(const Tango::DevVarLongStringArray& value) {
  std::vector<std::string> strings;
  for (CORBA::ULong i = 0; i < value.svalue.length(); ++i)
    strings.emplace_back(value.svalue[i].in());
  return strings;
}

// SetRx's registers by name, each with its value.
RxRegisters ReadRxRegisters(const std::vector<std::string>& names,
                            const std::vector<std::int32_t>& values) {
  RxRegisters registers;
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::optional<int>* target = names[i] == "Deskew1"   ? &registers.Deskew1
                                 : names[i] == "Deskew2" ? &registers.Deskew2
                                 : names[i] == "Coarse1" ? &registers.Coarse1
                                 : names[i] == "Coarse2" ? &registers.Coarse2
                                 : names[i] == "Control" ? &registers.Control
                                                         : nullptr;
    if (target == nullptr)
      Raise(RefusalReason(DeviceRefusal::UnknownName),
            "No TTCrx register \"" + names[i] + "\": Deskew1, Deskew2, Coarse1, Coarse2 or Control",
            "TTCvi::SetRx");
    *target = values[i];
  }
  return registers;
}

class TTCviClass : public Tango::DeviceClass {
 public:
  static TTCviClass* Init(const char* name) {
    static std::string type(name);
    static TTCviClass* instance = new TTCviClass(type);
    return instance;
  }

 protected:
  explicit TTCviClass(std::string& name) : Tango::DeviceClass(name) {}

  void command_factory() override;
  void attribute_factory(std::vector<Tango::Attr*>& attributes) override;
  void device_factory(const Tango::DevVarStringArray* names) override {
    for (CORBA::ULong i = 0; i < names->length(); ++i)
      device_list.push_back(new TTCvi(this, (*names)[i].in()));
    for (Tango::DeviceImpl* device : device_list) {
      if (Tango::Util::_UseDb && !Tango::Util::_FileDb)
        export_device(device);
      else
        export_device(device, device->get_name().c_str());
    }
  }
};

void TTCviClass::attribute_factory(std::vector<Tango::Attr*>& attributes) {
  // CSR1 and CSR2: one bus read each, with change and archive events at any change.
  for (const char* name : {"CSR1", "CSR2"}) {
    const bool first = std::string(name) == "CSR1";
    auto* attribute =
        new ScalarAttribute(name, Tango::DEV_USHORT, [first](TTCvi& d, Tango::Attribute& a) {
          Tango::DevUShort& value = first ? d.Csr1 : d.Csr2;
          value = d.Call("TTCvi::read_CSR", [first](TTCviDevice& core, const std::string& from) {
            return first ? core.CSR1(from) : core.CSR2(from);
          });
          a.set_value(&value);
        });
    Tango::UserDefaultAttrProp properties;
    properties.set_event_abs_change("1");
    properties.set_archive_event_abs_change("1");
    properties.set_description(first
                                   ? "CSR1: trigger source (2..0), orbit (3), random rate (14..12)"
                                   : "CSR2: FIFO n empty (2n), full (2n+1), retransmit off (8+n)");
    attribute->set_default_properties(properties);
    attributes.push_back(attribute);
  }
  // The FIFOs' empty and full bits of CSR2, one flag per channel.
  for (const bool empty : {true, false}) {
    attributes.push_back(new ArrayAttribute(
        empty ? "FifoEmpty" : "FifoFull", Tango::DEV_BOOLEAN, 4,
        [empty](TTCvi& d, Tango::Attribute& a) {
          Tango::DevBoolean* flags = empty ? d.Empty : d.Full;
          CopyFour(d.Call(empty ? "TTCvi::read_FifoEmpty" : "TTCvi::read_FifoFull",
                          [empty](TTCviDevice& core, const std::string& from) {
                            return empty ? core.FifoEmpty(from) : core.FifoFull(from);
                          }),
                   flags);
          a.set_value(flags, 4);
        }));
  }
  attributes.push_back(
      new ArrayAttribute("BGoMode", Tango::DEV_USHORT, 4, [](TTCvi& d, Tango::Attribute& a) {
        CopyFour(
            d.Call("TTCvi::read_BGoMode",
                   [](TTCviDevice& core, const std::string& from) { return core.BGoMode(from); }),
            d.Modes);
        a.set_value(d.Modes, 4);
      }));

  auto* source = new ScalarAttribute(
      "TriggerSource", Tango::DEV_ENUM,
      [](TTCvi& d, Tango::Attribute& a) {
        d.Source = static_cast<Tango::DevShort>(d.Call(
            "TTCvi::read_TriggerSource",
            [](TTCviDevice& core, const std::string& from) { return core.TriggerSource(from); }));
        a.set_value(&d.Source);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        Tango::DevShort value = 0;
        a.get_write_value(value);
        d.Call("TTCvi::write_TriggerSource", [value](TTCviDevice& core, const std::string& from) {
          core.WriteTriggerSource(value, from);
        });
      });
  auto* rate = new ScalarAttribute(
      "RandomRate", Tango::DEV_ENUM,
      [](TTCvi& d, Tango::Attribute& a) {
        d.Rate = static_cast<Tango::DevShort>(d.Call(
            "TTCvi::read_RandomRate",
            [](TTCviDevice& core, const std::string& from) { return core.RandomRate(from); }));
        a.set_value(&d.Rate);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        Tango::DevShort value = 0;
        a.get_write_value(value);
        d.Call("TTCvi::write_RandomRate", [value](TTCviDevice& core, const std::string& from) {
          core.WriteRandomRate(value, from);
        });
      });
  for (auto [attribute, labels] : {std::pair{source, TTCviDevice::TriggerSourceLabels()},
                                   std::pair{rate, TTCviDevice::RandomRateLabels()}}) {
    Tango::UserDefaultAttrProp properties;
    properties.set_enum_labels(labels);
    attribute->set_default_properties(properties);
    attributes.push_back(attribute);
  }

  attributes.push_back(new ScalarAttribute(
      "OrbitInternal", Tango::DEV_BOOLEAN,
      [](TTCvi& d, Tango::Attribute& a) {
        d.Orbit = d.Call(
            "TTCvi::read_OrbitInternal",
            [](TTCviDevice& core, const std::string& from) { return core.OrbitInternal(from); });
        a.set_value(&d.Orbit);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        Tango::DevBoolean value = false;
        a.get_write_value(value);
        d.Call("TTCvi::write_OrbitInternal", [value](TTCviDevice& core, const std::string& from) {
          core.WriteOrbitInternal(value, from);
        });
      }));
  attributes.push_back(new ArrayAttribute(
      "InhibitDelay", Tango::DEV_LONG, 4,
      [](TTCvi& d, Tango::Attribute& a) {
        d.Call("TTCvi::read_InhibitDelay", [&d](TTCviDevice& core, const std::string&) {
          CopyFour(core.InhibitDelay(), d.Delays);
        });
        a.set_value(d.Delays, 4);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        const std::vector<std::int32_t> values = WrittenLongs(a);
        d.Call("TTCvi::write_InhibitDelay", [&values](TTCviDevice& core, const std::string& from) {
          core.WriteInhibitDelay(values, from);
        });
      }));
  attributes.push_back(new ArrayAttribute(
      "InhibitDuration", Tango::DEV_LONG, 4,
      [](TTCvi& d, Tango::Attribute& a) {
        d.Call("TTCvi::read_InhibitDuration", [&d](TTCviDevice& core, const std::string&) {
          CopyFour(core.InhibitDuration(), d.Durations);
        });
        a.set_value(d.Durations, 4);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        const std::vector<std::int32_t> values = WrittenLongs(a);
        d.Call("TTCvi::write_InhibitDuration",
               [&values](TTCviDevice& core, const std::string& from) {
                 core.WriteInhibitDuration(values, from);
               });
      }));
  attributes.push_back(new ArrayAttribute(
      "Retransmit", Tango::DEV_BOOLEAN, 4,
      [](TTCvi& d, Tango::Attribute& a) {
        CopyFour(d.Call("TTCvi::read_Retransmit",
                        [](TTCviDevice& core, const std::string& from) {
                          return core.Retransmit(from);
                        }),
                 d.Retransmit);
        a.set_value(d.Retransmit, 4);
      },
      [](TTCvi& d, Tango::WAttribute& a) {
        const std::vector<bool> values = WrittenBooleans(a);
        d.Call("TTCvi::write_Retransmit", [&values](TTCviDevice& core, const std::string& from) {
          core.WriteRetransmit(values, from);
        });
      }));

  // The configuration file's lists.
  constexpr long kLongestList = 4096;
  attributes.push_back(new ArrayAttribute(
      "Presets", Tango::DEV_STRING, kLongestList, [](TTCvi& d, Tango::Attribute& a) {
        SetNames(a, d.Presets, d.PresetPointers,
                 d.Call("TTCvi::read_Presets",
                        [](TTCviDevice& core, const std::string&) { return core.Presets(); }));
      }));
  attributes.push_back(new ArrayAttribute(
      "Sequences", Tango::DEV_STRING, kLongestList, [](TTCvi& d, Tango::Attribute& a) {
        SetNames(a, d.Sequences, d.SequencePointers,
                 d.Call("TTCvi::read_Sequences",
                        [](TTCviDevice& core, const std::string&) { return core.Sequences(); }));
      }));
  attributes.push_back(new ArrayAttribute(
      "RxNames", Tango::DEV_STRING, kLongestList, [](TTCvi& d, Tango::Attribute& a) {
        SetNames(a, d.RxNames, d.RxPointers,
                 d.Call("TTCvi::read_RxNames",
                        [](TTCviDevice& core, const std::string&) { return core.RxNames(); }));
      }));
}

void TTCviClass::command_factory() {
  auto done = [] { return new CORBA::Any(); };
  command_list.push_back(new DeviceCommand(
      "ApplyPreset", Tango::DEV_STRING, "the preset's name",
      [done](TTCvi& d, const CORBA::Any& in) {
        const char* name = nullptr;
        if (!(in >>= name) || name == nullptr)
          BadArgument("A preset's name is wanted", "TTCvi::ApplyPreset");
        const std::string preset(name);
        d.Call("TTCvi::ApplyPreset", [&preset](TTCviDevice& core, const std::string& from) {
          core.ApplyPreset(preset, from);
        });
        return done();
      }));
  command_list.push_back(new DeviceCommand(
      "LoadFifo", Tango::DEVVAR_LONGSTRINGARRAY, "[[channel], [sequence name]]",
      [done](TTCvi& d, const CORBA::Any& in) {
        const auto& value = LongsAndStrings(in, "TTCvi::LoadFifo");
        const std::vector<std::int32_t> longs = Longs(value);
        const std::vector<std::string> strings = Strings(value);
        if (longs.size() != 1 || strings.size() != 1)
          BadArgument("LoadFifo takes [[channel], [sequence name]]", "TTCvi::LoadFifo");
        d.Call("TTCvi::LoadFifo", [&](TTCviDevice& core, const std::string& from) {
          core.LoadFifo(longs[0], strings[0], from);
        });
        return done();
      }));
  command_list.push_back(new DeviceCommand(
      "ResetFifos", Tango::DEVVAR_USHORTARRAY, "the channels (none: all four)",
      [done](TTCvi& d, const CORBA::Any& in) {
        const Tango::DevVarUShortArray* value = nullptr;
        if (!(in >>= value) || value == nullptr)
          BadArgument("A list of channels is wanted", "TTCvi::ResetFifos");
        std::vector<int> channels;
        for (CORBA::ULong i = 0; i < value->length(); ++i) channels.push_back((*value)[i]);
        d.Call("TTCvi::ResetFifos", [&channels](TTCviDevice& core, const std::string& from) {
          core.ResetFifos(channels, from);
        });
        return done();
      }));
  command_list.push_back(
      new DeviceCommand("Reset", Tango::DEV_VOID, "", [done](TTCvi& d, const CORBA::Any&) {
        d.Call("TTCvi::Reset",
               [](TTCviDevice& core, const std::string& from) { core.Reset(from); });
        return done();
      }));
  command_list.push_back(
      new DeviceCommand("Trigger", Tango::DEV_VOID, "", [done](TTCvi& d, const CORBA::Any&) {
        d.Call("TTCvi::Trigger",
               [](TTCviDevice& core, const std::string& from) { core.Trigger(from); });
        return done();
      }));
  command_list.push_back(new DeviceCommand(
      "SendShort", Tango::DEV_LONG, "the command 0..255", [done](TTCvi& d, const CORBA::Any& in) {
        Tango::DevLong command = 0;
        if (!(in >>= command)) BadArgument("A number is wanted", "TTCvi::SendShort");
        d.Call("TTCvi::SendShort", [command](TTCviDevice& core, const std::string& from) {
          core.SendShort(command, from);
        });
        return done();
      }));
  command_list.push_back(new DeviceCommand(
      "SendLong", Tango::DEVVAR_LONGSTRINGARRAY,
      "[[subaddress, data] or [subaddress, data, 1] for external], [TTCrx name or address]]",
      [done](TTCvi& d, const CORBA::Any& in) {
        const auto& value = LongsAndStrings(in, "TTCvi::SendLong");
        const std::vector<std::int32_t> longs = Longs(value);
        const std::vector<std::string> strings = Strings(value);
        if ((longs.size() != 2 && longs.size() != 3) || strings.size() != 1)
          BadArgument("SendLong takes [[subaddress, data, (external)], [TTCrx]]",
                      "TTCvi::SendLong");
        d.Call("TTCvi::SendLong", [&](TTCviDevice& core, const std::string& from) {
          core.SendLong(strings[0], longs[0], longs[1], longs.size() == 3 && longs[2] != 0, from);
        });
        return done();
      }));
  command_list.push_back(new DeviceCommand(
      "SetRx", Tango::DEVVAR_LONGSTRINGARRAY,
      "[[values], [TTCrx name or address, register names (Deskew1, Deskew2, Coarse1, Coarse2, "
      "Control), one per value]]",
      [done](TTCvi& d, const CORBA::Any& in) {
        const auto& value = LongsAndStrings(in, "TTCvi::SetRx");
        const std::vector<std::int32_t> longs = Longs(value);
        std::vector<std::string> strings = Strings(value);
        if (strings.empty() || strings.size() != longs.size() + 1)
          BadArgument("SetRx takes [[values], [TTCrx, one register name per value]]",
                      "TTCvi::SetRx");
        const std::string rx = strings.front();
        strings.erase(strings.begin());
        const RxRegisters registers = ReadRxRegisters(strings, longs);
        d.Call("TTCvi::SetRx", [&](TTCviDevice& core, const std::string& from) {
          core.SetRx(rx, registers, from);
        });
        return done();
      }));
  command_list.push_back(
      new DeviceCommand("On", Tango::DEV_VOID, "", [done](TTCvi& d, const CORBA::Any&) {
        d.Call("TTCvi::On", [](TTCviDevice& core, const std::string& from) { core.On(from); });
        return done();
      }));
  command_list.push_back(
      new DeviceCommand("Off", Tango::DEV_VOID, "", [done](TTCvi& d, const CORBA::Any&) {
        d.Call("TTCvi::Off", [](TTCviDevice& core, const std::string&) { core.Off(); });
        return done();
      }));
}

}  // namespace

void Tango::DServer::class_factory() { add_class(TTCviClass::Init(kClassName)); }

int main(int argc, char* argv[]) {
  if (argc == 2 && (std::string(argv[1]) == "--version" || std::string(argv[1]) == "-V")) {
    std::cout << "quorvane-ds " << QUORVANE_VERSION << '\n';
    return 0;
  }
  try {
    Tango::Util* server = Tango::Util::init(argc, argv);
    server->server_init(false);
    std::cout << "Ready to accept request" << std::endl;
    server->server_run();
    server->server_cleanup();
  } catch (const std::bad_alloc&) {
    std::cerr << "quorvane-ds: out of memory\n";
    return 1;
  } catch (const CORBA::Exception& failure) {
    Tango::Except::print_exception(failure);
    return 1;
  }
  return 0;
}
