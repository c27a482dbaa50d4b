#pragma once

#include <QFrame>
#include <QString>

// The informational panel in the window's corner (Panel6): a small picture of
// the module's front panel, the module's base address and the adapter the
// panel talks to. It has no behaviour.
class TModulePanel : public QFrame {
  Q_OBJECT

 public:
  explicit TModulePanel(QWidget* parent = nullptr);

  // adapter: what the connection says it talks to ("Simulated crate",
  // "CAEN V2718, CAENVMELib 3.4.4"); address: e.g. "A24 0xFF1000"; device:
  // the device or bridge opened, if any, shown under the adapter. The
  // panel has no hint: only the controls the operator knows by their hints
  // carry one.
  void SetConnection(const QString& adapter, const QString& address,
                     const QString& device = QString());
  QString Adapter() const { return Adapter_; }
  QString Address() const { return Address_; }
  QString Device() const { return Device_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintModule(class QPainter& painter, const QRect& face) const;

  QString Adapter_;
  QString Address_;
  QString Device_;
};
