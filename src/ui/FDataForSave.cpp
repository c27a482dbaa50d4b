#include "ui/FDataForSave.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

#include "ui/DialogFrame.h"

TfrmDataForSave::TfrmDataForSave(QWidget* parent) : QDialog(parent) {
  DialogFrame frame = BeginDialogFrame(this, "frmDataForSave", "Dialog");
  QWidget* bevel = frame.Bevel;

  auto* choose = new QLabel(QStringLiteral("Choose data for save for"), bevel);
  choose->setObjectName(QStringLiteral("Label1"));
  auto* fifo = new QLabel(QStringLiteral("B-Go FIFO"), bevel);
  fifo->setObjectName(QStringLiteral("Label2"));
  lFIFONumber = new QLabel(QStringLiteral("[0]"), bevel);
  lFIFONumber->setObjectName(QStringLiteral("lFIFONumber"));
  auto* data = new QLabel(QStringLiteral("Data"), bevel);
  data->setObjectName(QStringLiteral("Label3"));
  lbB_GoDataSeq = new QListWidget(bevel);
  lbB_GoDataSeq->setObjectName(QStringLiteral("lbB_GoDataSeq"));
  lbB_GoDataSeq->setSelectionMode(QAbstractItemView::SingleSelection);
  data->setBuddy(lbB_GoDataSeq);

  // Left: what is being chosen; right: the sequence names.
  auto* fifoRow = new QHBoxLayout;
  fifoRow->setSpacing(4);
  fifoRow->addWidget(fifo);
  fifoRow->addWidget(lFIFONumber);
  fifoRow->addStretch(1);

  auto* grid = new QGridLayout(bevel);
  grid->setContentsMargins(10, 8, 10, 10);
  grid->setHorizontalSpacing(12);
  grid->addWidget(choose, 0, 0, Qt::AlignTop);
  grid->addLayout(fifoRow, 1, 0, Qt::AlignTop);
  grid->addWidget(data, 0, 1);
  grid->addWidget(lbB_GoDataSeq, 1, 1, 2, 1);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(1, 1);
  EndDialogFrame(this, frame, QSize(313, 214));
}

void TfrmDataForSave::SetSequenceNames(const QStringList& names) {
  lbB_GoDataSeq->clear();
  lbB_GoDataSeq->addItems(names);
  lbB_GoDataSeq->setCurrentRow(-1);
}

std::optional<int> TfrmDataForSave::ChooseFor(int fifo) {
  lFIFONumber->setText(QString::number(fifo));
  if (exec() != QDialog::Accepted) return std::nullopt;
  const QList<QListWidgetItem*> selected = lbB_GoDataSeq->selectedItems();
  return selected.isEmpty() ? -1 : lbB_GoDataSeq->row(selected.front());
}
