// The program's own link library, libSerOxtDL.so from the build, loaded as
// the program loads it and connected to the port given (a virtual ECU's
// pseudo-terminal). For end-to-end tests of single windows.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QLibrary>
#include <QString>

#include "EcuLink.h"

class RealLink {
 public:
  explicit RealLink(const QString& port)
      : library_(QStringLiteral(PROGRAM_FOLDER "/" ECU_LINK_LIBRARY_FILE)) {
    qputenv("SEROXT_PORT", QFile::encodeName(port));
    if (!library_.load()) return;
    auto create = reinterpret_cast<CreateClassInstanceFn>(library_.resolve(ECU_LINK_CREATE_SYMBOL));
    destroy_ =
        reinterpret_cast<DestroyClassInstanceFn>(library_.resolve(ECU_LINK_DESTROY_SYMBOL));
    if (create == nullptr || destroy_ == nullptr) return;
    link_ = create();
    if (link_ == nullptr) return;
    link_->SetStartOptionA(0);
    link_->SetStartOptionB(4);
    connected_ = link_->OpenLink() && link_->Connect();
  }
  ~RealLink() {
    if (link_ != nullptr) destroy_(link_);
    library_.unload();
    qunsetenv("SEROXT_PORT");
  }
  RealLink(const RealLink&) = delete;
  RealLink& operator=(const RealLink&) = delete;

  ecu::EcuLink* Link() const { return link_; }
  // Loaded and connected.
  bool Ready() const { return connected_; }
  QString Error() const { return library_.errorString(); }

 private:
  QLibrary library_;
  DestroyClassInstanceFn destroy_ = nullptr;
  ecu::EcuLink* link_ = nullptr;
  bool connected_ = false;
};

#include <QTemporaryDir>
#include <memory>

#include "ConfCar.h"
#include "FormContext.h"
#include "VirtualEcuProcess.h"

// ecu-sim started with the given options in a temporary folder, the real link
// connected to it, and a store on that link: one window's end-to-end session.
class SimulatedEcuSession {
 public:
  SimulatedEcuSession(const QString& name, const QStringList& options)
      : sim_(folder_.path(), name) {
    const QString port = sim_.Start(options);
    if (port.isEmpty()) return;
    link_ = std::make_unique<RealLink>(port);
    store_ = std::make_unique<ConfCar>((name + QStringLiteral(".dmr")).toStdString(),
                                       link_->Link());
  }

  bool Ready() const { return link_ != nullptr && link_->Ready(); }
  QString Errors() const { return link_ == nullptr ? sim_.Errors() : link_->Error(); }
  VirtualEcuProcess& Sim() { return sim_; }
  ecu::EcuLink* Link() const { return link_->Link(); }
  ConfCar& Store() const { return *store_; }
  // What a window on this session is handed (no dictionary).
  FormContext Context() const {
    FormContext context;
    context.store = store_.get();
    context.link = Link();
    return context;
  }

 private:
  QTemporaryDir folder_;
  VirtualEcuProcess sim_;
  std::unique_ptr<RealLink> link_;
  std::unique_ptr<ConfCar> store_;
};
