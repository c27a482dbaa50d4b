#include "monitor/FCrateMonitor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "base/Text.h"
#include "sim/SimCrate.h"
#include "ttcvi/BChannelWord.h"
#include "ttcvi/RegisterFields.h"
#include "ttcvi/RegisterMap.h"
#include "ui/BusLogFeed.h"

// The monitor shows what the crate holds, whatever the panel meant to send:
// it reads the crate's inspection interface, never the panel's shadows. The
// registers' fields are named by the one decoder quorvane-ctl status uses,
// from the one register map.

using namespace ttcvi;

namespace {

constexpr int kChannels = kBGoChannels;

QString Hex(std::uint32_t value, int digits) {
  return QString::fromStdString(HexText(value, digits));
}

QString Bits(std::uint32_t value, unsigned count) {
  return QString::fromStdString(BitString(value, count));
}

// A B-channel word: long format to one TTCrx, or a short broadcast command.
QString WordMeaning(std::uint32_t value) {
  const BChannelWord word(value);
  if (!IsLongWord(word)) return QStringLiteral("short: command %1").arg(Hex(DecodeShort(word), 2));
  const LongFields fields = DecodeLong(word);
  return QStringLiteral("long: TTCrx %1, %2, subaddress %3, data %4")
      .arg(fields.address)
      .arg(fields.external ? QStringLiteral("external") : QStringLiteral("internal"))
      .arg(Hex(fields.subaddress, 2))
      .arg(Hex(fields.data, 2));
}

// A fine-deskew register byte as the step it sets: n = K mod 15 in bits 7..4,
// m = (K div 15 - n + 14) mod 16 in bits 3..0, so K = 15 ((m + n + 2) mod 16)
// + n. A byte with n = 15 is no step.
QString Deskew(std::uint8_t code) {
  const unsigned n = code >> 4;
  const unsigned m = code & 0x0F;
  if (n > 14) return QStringLiteral("- (%1)").arg(Hex(code, 2));
  return QStringLiteral("%1 (%2)").arg(15 * ((m + n + 2) % 16) + n).arg(Hex(code, 2));
}

QTableWidgetItem* Cell(const QString& text) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return cell;
}

// A read-only table of one line per row; widths in pixels for all columns
// but the last, which takes the rest.
QTableWidget* AddTable(QWidget* parent, const char* name, const QStringList& headings,
                       std::initializer_list<int> widths) {
  auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setHorizontalHeaderLabels(headings);
  table->verticalHeader()->hide();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setWordWrap(false);
  table->horizontalHeader()->setStretchLastSection(true);
  int column = 0;
  for (int width : widths) table->setColumnWidth(column++, width);
  return table;
}

void SetRow(QTreeWidgetItem* item, const QString& value, const QString& meaning) {
  item->setText(1, value);
  item->setText(2, meaning);
}

// A register's fields as its children, in the decoder's order.
void SetFields(QTreeWidgetItem* item, const std::vector<RegisterField>& fields) {
  for (int i = 0; i < item->childCount() && i < static_cast<int>(fields.size()); ++i) {
    const RegisterField& field = fields[static_cast<std::size_t>(i)];
    item->child(i)->setText(0, QString::fromStdString(field.Label()));
    SetRow(item->child(i), QString::fromStdString(field.ValueText),
           QString::fromStdString(field.Meaning));
  }
}

}  // namespace

std::unique_ptr<QWidget> OpenCrateMonitor(TBusLogFeed& feed) {
  return std::make_unique<TfrmCrateMonitor>(feed);
}

TfrmCrateMonitor::TfrmCrateMonitor(TBusLogFeed& feed, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmCrateMonitor"));
  setWindowTitle(QStringLiteral("Crate monitor"));
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(1120, 720);

  lblCrate = new QLabel(this);
  lblCrate->setObjectName(QStringLiteral("lblCrate"));

  tvRegisters = new QTreeWidget(this);
  tvRegisters->setObjectName(QStringLiteral("tvRegisters"));
  tvRegisters->setHeaderLabels(
      {QStringLiteral("Register"), QStringLiteral("Value"), QStringLiteral("Meaning")});
  BuildRegisterTree();

  auto* fifos = new QGroupBox(QStringLiteral("B-Go FIFOs"), this);
  auto* fifoGrid = new QGridLayout(fifos);
  for (int n = 0; n < kChannels; ++n) {
    auto* label = new QLabel(QStringLiteral("B-Go %1").arg(n), fifos);
    pbFifo[n] = new QProgressBar(fifos);
    pbFifo[n]->setObjectName(QStringLiteral("pbFifo%1").arg(n));
    pbFifo[n]->setRange(0, static_cast<int>(sim::kBGoFifoDepth));
    pbFifo[n]->setFormat(QStringLiteral("%v of %m words"));
    lbFifo[n] = new QListWidget(fifos);
    lbFifo[n]->setObjectName(QStringLiteral("lbFifo%1").arg(n));
    fifoGrid->addWidget(label, 2 * n, 0);
    fifoGrid->addWidget(pbFifo[n], 2 * n, 1);
    fifoGrid->addWidget(lbFifo[n], 2 * n + 1, 0, 1, 2);
  }

  auto* bChannel = new QGroupBox(QStringLiteral("B channel"), this);
  lblBChannel = new QLabel(bChannel);
  lblBChannel->setObjectName(QStringLiteral("lblBChannel"));
  tvBChannel = AddTable(bChannel, "tvBChannel",
                        {QStringLiteral("#"), QStringLiteral("From"), QStringLiteral("Word"),
                         QStringLiteral("Meaning")},
                        {45, 90, 85});
  auto* bChannelLayout = new QVBoxLayout(bChannel);
  bChannelLayout->addWidget(lblBChannel);
  bChannelLayout->addWidget(tvBChannel);

  auto* receivers = new QGroupBox(QStringLiteral("TTCrx receivers reached"), this);
  tvReceivers =
      AddTable(receivers, "tvReceivers",
               {QStringLiteral("TTCrx"), QStringLiteral("Deskew 1"), QStringLiteral("Deskew 2"),
                QStringLiteral("Coar Del 1"), QStringLiteral("Coar Del 2"),
                QStringLiteral("Control"), QStringLiteral("Writes")},
               {});
  // Few columns of short numbers: they share the width, none scrolls away.
  tvReceivers->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  tvReceivers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* receiversLayout = new QVBoxLayout(receivers);
  receiversLayout->addWidget(tvReceivers);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblCrate, 0, 0, 1, 2);
  grid->addWidget(tvRegisters, 1, 0);
  grid->addWidget(fifos, 1, 1);
  grid->addWidget(bChannel, 2, 0);
  grid->addWidget(receivers, 2, 1);
  grid->setRowStretch(1, 3);
  grid->setRowStretch(2, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  // Live while shown: each batch of bus accesses may have changed the crate.
  connect(&feed, &TBusLogFeed::Appended, this, [this] {
    if (isVisible()) Refresh();
  });
}

void TfrmCrateMonitor::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

void TfrmCrateMonitor::BuildRegisterTree() {
  auto add = [this](const QString& name, int children) {
    auto* item = new QTreeWidgetItem(tvRegisters, {name});
    for (int i = 0; i < children; ++i) new QTreeWidgetItem(item);
    item->setExpanded(children > 0);
    return item;
  };
  Csr1_ = add(QStringLiteral("CSR1"), 3);
  Csr2_ = add(QStringLiteral("CSR2"), 2 * kChannels);
  for (int n = 0; n < kChannels; ++n) Modes_[n] = add(QStringLiteral("B-Go %1 mode").arg(n), 0);
  for (int n = 0; n < kChannels; ++n) Inhibits_[n] = add(QStringLiteral("Inhibit %1").arg(n), 0);
  TrigAddress_ = add(QStringLiteral("TRIGWORD address"), 0);
  TrigControl_ = add(QStringLiteral("TRIGWORD control"), 0);
  tvRegisters->setColumnWidth(0, 185);
  tvRegisters->setColumnWidth(1, 100);
}

void TfrmCrateMonitor::Refresh() {
  const sim::Crate& crate = sim::Crate::Instance();
  lblCrate->setText(QStringLiteral("Simulated crate: TTCvi at A24 %1; %2 bus cycles, %3 software "
                                   "triggers since power-up")
                        .arg(Hex(crate.TTCviBase(), 6))
                        .arg(crate.TotalCycles())
                        .arg(crate.L1ACount()));
  RefreshRegisters();
  RefreshFifos();
  RefreshBChannel();
  RefreshReceivers();
}

void TfrmCrateMonitor::RefreshRegisters() {
  const sim::Crate& crate = sim::Crate::Instance();
  const std::uint16_t csr1 = crate.CSR1();
  SetRow(Csr1_, Hex(csr1, 4), Bits(csr1, 16));
  SetFields(Csr1_, DecodeCSR1(csr1));
  const std::uint16_t csr2 = crate.CSR2();
  SetRow(Csr2_, Hex(csr2, 4), Bits(csr2, 16));
  SetFields(Csr2_, DecodeCSR2(csr2));

  for (int n = 0; n < kChannels; ++n) {
    const std::uint16_t mode = crate.BGoMode(n);
    SetRow(Modes_[n], Hex(mode, 4), QString::fromStdString(BGoModeMeaning(mode)));
    SetRow(Inhibits_[n],
           QStringLiteral("%1 / %2").arg(crate.InhibitDelay(n)).arg(crate.InhibitDuration(n)),
           QStringLiteral("delay %1, duration %2")
               .arg(crate.InhibitDelay(n))
               .arg(crate.InhibitDuration(n)));
  }

  const std::uint16_t address = crate.TrigWordAddress();
  SetRow(TrigAddress_, Hex(address, 4), QStringLiteral("TTCrx %1").arg(kTTCrxAddress.Of(address)));
  const std::uint16_t control = crate.TrigWordControl();
  SetRow(
      TrigControl_, Hex(control, 4),
      QStringLiteral("%1, subaddress %2, %3")
          .arg(kTrigWordEnable.Of(control) ? QStringLiteral("enabled") : QStringLiteral("disabled"))
          .arg(Hex(kTrigWordSubaddress.Of(control), 2))
          .arg(kTrigWordExternal.Of(control) ? QStringLiteral("external")
                                             : QStringLiteral("internal")));
}

void TfrmCrateMonitor::RefreshFifos() {
  const sim::Crate& crate = sim::Crate::Instance();
  for (int n = 0; n < kChannels; ++n) {
    const std::vector<std::uint32_t> words = crate.BGoFifo(n);
    pbFifo[n]->setValue(static_cast<int>(words.size()));
    QListWidget* list = lbFifo[n];
    // Rewritten only when the words changed: the operator may be reading it.
    QStringList lines;
    for (std::uint32_t word : words)
      lines << Hex(word, 8) + QStringLiteral("  ") + WordMeaning(word);
    bool same = list->count() == lines.size();
    for (int i = 0; same && i < list->count(); ++i) same = list->item(i)->text() == lines[i];
    if (same) continue;
    list->clear();
    list->addItems(lines);
  }
}

void TfrmCrateMonitor::RefreshBChannel() {
  const sim::Crate& crate = sim::Crate::Instance();
  const std::vector<sim::BChannelCycle> cycles = crate.BChannelCycles();
  const std::uint64_t total = crate.TotalBChannelCycles();
  lblBChannel->setText(
      QStringLiteral("%1 cycles sent since power-up; the newest first").arg(total));
  const int rows = static_cast<int>(std::min<std::size_t>(cycles.size(), kBChannelRows));
  tvBChannel->setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const std::size_t index = cycles.size() - 1 - static_cast<std::size_t>(row);
    const sim::BChannelCycle& cycle = cycles[index];
    QString from;
    switch (cycle.source) {
      case sim::BChannelCycle::Source::AsyncLong:
        from = QStringLiteral("long cycle");
        break;
      case sim::BChannelCycle::Source::AsyncShort:
        from = QStringLiteral("short cycle");
        break;
      case sim::BChannelCycle::Source::Fifo:
        from = QStringLiteral("B-Go %1 FIFO").arg(cycle.channel);
        break;
    }
    const std::uint64_t number = total - static_cast<std::uint64_t>(row);
    tvBChannel->setItem(row, 0, Cell(QString::number(number)));
    tvBChannel->setItem(row, 1, Cell(from));
    tvBChannel->setItem(row, 2, Cell(Hex(cycle.word, 8)));
    tvBChannel->setItem(row, 3, Cell(WordMeaning(cycle.word)));
  }
}

void TfrmCrateMonitor::RefreshReceivers() {
  const sim::Crate& crate = sim::Crate::Instance();
  const std::vector<std::uint16_t> reached = crate.TTCrxReached();
  tvReceivers->setRowCount(static_cast<int>(reached.size()));
  for (int row = 0; row < static_cast<int>(reached.size()); ++row) {
    const std::uint16_t address = reached[static_cast<std::size_t>(row)];
    const std::uint8_t coarse = crate.TTCrxRegister(address, 2);
    tvReceivers->setItem(row, 0, Cell(QStringLiteral("%1 (%2)").arg(address).arg(Hex(address, 4))));
    tvReceivers->setItem(row, 1, Cell(Deskew(crate.TTCrxRegister(address, 0))));
    tvReceivers->setItem(row, 2, Cell(Deskew(crate.TTCrxRegister(address, 1))));
    tvReceivers->setItem(row, 3, Cell(QString::number(coarse & 0x0F)));
    tvReceivers->setItem(row, 4, Cell(QString::number(coarse >> 4)));
    tvReceivers->setItem(row, 5, Cell(Bits(crate.TTCrxRegister(address, 3), 8)));
    tvReceivers->setItem(row, 6, Cell(QString::number(crate.TTCrxWriteCount(address))));
  }
}
