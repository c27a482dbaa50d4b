#include "ui/ModulePanel.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kSilver(192, 192, 192);
const QColor kFace(214, 218, 224);   // anodised front panel
const QColor kHandle(46, 50, 58);    // ejector handles
const QColor kLemo(170, 140, 60);    // brass LEMO sockets
const QColor kOptical(40, 80, 170);  // optical output
const QColor kLedOn(60, 200, 80);
const QColor kLedOff(40, 90, 50);
constexpr int kFaceWidth = 26;
}  // namespace

TModulePanel::TModulePanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  QPalette silver = palette();
  silver.setColor(QPalette::Window, kSilver);
  setPalette(silver);
}

void TModulePanel::SetConnection(const QString& adapter, const QString& address,
                                 const QString& device) {
  Adapter_ = adapter;
  Address_ = address;
  Device_ = device;
  update();
}

void TModulePanel::PaintModule(QPainter& painter, const QRect& face) const {
  // A 6U front panel seen from the front, drawn upright and narrow.
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(kFace);
  painter.drawRect(face);

  const int cx = face.center().x();
  // Ejector handles top and bottom.
  painter.setBrush(kHandle);
  painter.drawRect(QRect(face.left() + 3, face.top() + 2, face.width() - 6, 7));
  painter.drawRect(QRect(face.left() + 3, face.bottom() - 8, face.width() - 6, 7));

  // Status LEDs.
  for (int i = 0; i < 4; ++i) {
    painter.setBrush(i == 0 || i == 2 ? kLedOn : kLedOff);
    painter.drawEllipse(QPoint(cx - 5 + (i % 2) * 10, face.top() + 15 + (i / 2) * 7), 2, 2);
  }

  // The optical output and a column of LEMO inputs.
  painter.setBrush(kOptical);
  painter.drawRect(QRect(cx - 4, face.top() + 27, 8, 9));
  painter.setBrush(kLemo);
  for (int i = 0; i < 6; ++i) painter.drawEllipse(QPoint(cx, face.top() + 44 + i * 8), 3, 3);
}

void TModulePanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);

  const QRect inner = contentsRect().adjusted(4, 4, -4, -4);
  const QRect face(inner.left(), inner.top(), kFaceWidth, inner.height());
  PaintModule(painter, face);

  // Name, address and adapter to the right of the picture.
  const QRect text(face.right() + 6, inner.top(), inner.right() - face.right() - 6, inner.height());
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics boldMetrics(bold);
  const QFontMetrics metrics(font());
  int y = text.top();
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setFont(bold);
  painter.drawText(QRect(text.left(), y, text.width(), boldMetrics.height()), Qt::AlignLeft,
                   QStringLiteral("TTCvi"));
  y += boldMetrics.height() + 2;
  painter.setFont(font());
  // "A24 0xFF1000" goes on two lines: the panel is narrow.
  const QStringList address = Address_.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& part : address) {
    painter.drawText(QRect(text.left(), y, text.width(), metrics.height()), Qt::AlignLeft,
                     metrics.elidedText(part, Qt::ElideRight, text.width()));
    y += metrics.height();
  }
  y += 4;
  // The adapter with its library's release, then the device or bridge it
  // opened (a path: shortened in the middle, where it says least).
  const QRect adapter(text.left(), y, text.width(), text.bottom() - y);
  QRect used;
  painter.drawText(adapter, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Adapter_, &used);
  if (Device_.isEmpty() || Device_ == Adapter_) return;
  y = used.bottom() + 3;
  painter.drawText(QRect(text.left(), y, text.width(), metrics.height()), Qt::AlignLeft,
                   metrics.elidedText(Device_, Qt::ElideMiddle, text.width()));
}
