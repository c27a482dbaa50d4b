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

  // adapter: "Simulated crate", a device name or "Test connection";
  // address: e.g. "A24 0xFF1000". The tool tip carries both in full.
  void SetConnection(const QString& adapter, const QString& address);
  QString Adapter() const { return Adapter_; }
  QString Address() const { return Address_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintModule(class QPainter& painter, const QRect& face) const;

  QString Adapter_;
  QString Address_;
};
