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
  auto gate = std::make_unique<ConnectionGate>(log.Record(std::move(connection)));
  Gate_ = gate.get();
  Connection_ = std::move(gate);
  Module_ = std::make_unique<TTTCvi>(Connection_.get(), base);
  Sender_ = std::make_unique<ModuleSender>(*Module_);
}

ModuleSession::~ModuleSession() {
  // Nothing reaches the bus once the module may be another program's.
  if (Gate_ != nullptr) Gate_->Shut();
  Sender_.reset();
  Module_.reset();
  Connection_.reset();
  Lock_.reset();
}

void ModuleSession::Release() {
  Gate_->Shut();
  Lock_.reset();
}
