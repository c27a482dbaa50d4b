#include "operate/ModuleSession.h"

#include "base/Exception.h"

ModuleSession::ModuleSession(const Opener& open, std::uint32_t base, BusLogKeeper& log,
                             const SessionPlan& plan)
    : Base_(base) {
  std::unique_ptr<TVMEInterface> connection = open();
  if (!connection) throw Exception("VME Error: no VME connection was created");
  const VMEConnectionDescription opened = connection->Describe();
  Lock_ =
      std::make_unique<ModuleLock>(ModuleIdentity{opened.Kind, opened.Device, base, opened.Adapter},
                                   plan.Program, plan.Wait, plan.LockFolders);
  log.SetModuleBase(base);
  Connection_ = log.Record(std::move(connection));
  Module_ = std::make_unique<TTTCvi>(Connection_.get(), base);
  Sender_ = std::make_unique<ModuleSender>(*Module_);
}

ModuleSession::~ModuleSession() {
  Sender_.reset();
  Module_.reset();
  Connection_.reset();
  Lock_.reset();
}
