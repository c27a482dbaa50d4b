#include "ui/FBusLog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ttcvi/RegisterNames.h"
#include "ui/BusLogFeed.h"
#include "ui/EventGuard.h"

// The log's kept entries as table rows, oldest first. Rows are read from the
// ring as they are painted; the model only follows which sequence numbers
// the ring holds, adding rows at the bottom and dropping them at the top.
class TBusLogModel : public QAbstractTableModel {
 public:
  TBusLogModel(const TBusLogFeed& feed, QObject* parent)
      : QAbstractTableModel(parent), Feed_(feed) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(Last_ - First_);
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(kBusLogColumns);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const BusLogEntry* entry = EntryAt(index.row());
    if (entry == nullptr) return {};  // dropped a moment ago; the row goes with the next batch
    return QString::fromStdString(
        FormatBusLogField(*entry, static_cast<BusLogColumn>(index.column()), Feed_.Namer()));
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(kBusLogColumns))
      return {};
    return QString::fromStdString(BusLogHeadings()[static_cast<std::size_t>(section)]);
  }

  const BusLogEntry* EntryAt(int row) const {
    return row < 0 ? nullptr : Feed_.Log().Find(First_ + static_cast<std::uint64_t>(row));
  }

  // Catches up with the ring.
  void Follow() {
    const BusLog& log = Feed_.Log();
    const std::uint64_t first = log.First();
    const std::uint64_t last = log.Total();
    if (first > First_ && Last_ > First_) {
      const std::uint64_t gone = std::min(first, Last_) - First_;
      beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
      First_ += gone;
      endRemoveRows();
    }
    if (First_ < first) First_ = Last_ = first;  // everything shown had gone
    if (last > Last_) {
      beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(last - Last_) - 1);
      Last_ = last;
      endInsertRows();
    }
  }

 private:
  const TBusLogFeed& Feed_;
  std::uint64_t First_ = 0;  // sequence number of row 0
  std::uint64_t Last_ = 0;   // one past the last row's
};

// The rows of one register (or all) whose cause contains a text (or any).
class TBusLogFilter : public QSortFilterProxyModel {
 public:
  TBusLogFilter(const TBusLogFeed& feed, QObject* parent)
      : QSortFilterProxyModel(parent), Feed_(feed) {}

  void SetRegister(std::int64_t offset) {
    Offset_ = offset;
    invalidateFilter();
  }
  void SetControl(const QString& text) {
    Control_ = text.trimmed().toStdString();
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex&) const override {
    const BusLogEntry* entry = static_cast<const TBusLogModel*>(sourceModel())->EntryAt(row);
    if (entry == nullptr) return Offset_ < 0 && Control_.empty();
    if (Offset_ >= 0 && (entry->Access == BusAccess::Reset || entry->Address < Feed_.ModuleBase() ||
                         entry->Address - Feed_.ModuleBase() != Offset_))
      return false;
    if (!Control_.empty()) {
      if (!entry->Cause) return false;
      const QString cause = QString::fromStdString(*entry->Cause);
      if (!cause.contains(QString::fromStdString(Control_), Qt::CaseInsensitive)) return false;
    }
    return true;
  }

 private:
  const TBusLogFeed& Feed_;
  std::int64_t Offset_ = -1;  // -1: every register
  std::string Control_;
};

TfrmBusLog::TfrmBusLog(TBusLogFeed& feed, QWidget* parent)
    : QWidget(parent, Qt::Window), Feed_(feed) {
  setObjectName(QStringLiteral("frmBusLog"));
  setWindowTitle(QStringLiteral("Bus log"));
  // Closing the main window ends the program, whether or not the log is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(980, 520);

  cbRegister = new QComboBox(this);
  cbRegister->setObjectName(QStringLiteral("cbRegister"));
  cbRegister->addItem(QStringLiteral("All registers"), -1);
  for (std::uint32_t offset : TTCviRegisterOffsets())
    cbRegister->addItem(QString::fromStdString(feed.RegisterLabel(feed.ModuleBase() + offset)),
                        static_cast<qlonglong>(offset));

  eControl = new QLineEdit(this);
  eControl->setObjectName(QStringLiteral("eControl"));
  eControl->setPlaceholderText(QStringLiteral("Control (any part of its description)"));
  eControl->setClearButtonEnabled(true);

  chbFollow = new QCheckBox(QStringLiteral("Follow new entries"), this);
  chbFollow->setObjectName(QStringLiteral("chbFollow"));
  chbFollow->setChecked(true);

  bSave = new QPushButton(QStringLiteral("Save..."), this);
  bSave->setObjectName(QStringLiteral("bSave"));

  lblShown = new QLabel(this);
  lblShown->setObjectName(QStringLiteral("lblShown"));

  Model_ = new TBusLogModel(feed, this);
  Filter_ = new TBusLogFilter(feed, this);
  Filter_->setSourceModel(Model_);

  tvLog = new QTableView(this);
  tvLog->setObjectName(QStringLiteral("tvLog"));
  tvLog->setModel(Filter_);
  tvLog->setSelectionBehavior(QAbstractItemView::SelectRows);
  tvLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvLog->setWordWrap(false);
  tvLog->verticalHeader()->hide();
  // Fixed row heights and column widths: nothing is measured over all rows.
  tvLog->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tvLog->verticalHeader()->setDefaultSectionSize(tvLog->fontMetrics().height() + 4);
  const int widths[kBusLogColumns] = {60, 190, 50, 150, 70, 45, 90, 90, 200};
  for (std::size_t column = 0; column < kBusLogColumns; ++column)
    tvLog->setColumnWidth(static_cast<int>(column), widths[column]);
  tvLog->horizontalHeader()->setStretchLastSection(true);

  auto* filters = new QHBoxLayout;
  filters->addWidget(new QLabel(QStringLiteral("Register"), this));
  filters->addWidget(cbRegister);
  filters->addSpacing(12);
  filters->addWidget(new QLabel(QStringLiteral("Control"), this));
  filters->addWidget(eControl, 1);
  filters->addSpacing(12);
  filters->addWidget(chbFollow);
  filters->addWidget(bSave);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(tvLog, 1);
  layout->addWidget(lblShown);

  Bind(cbRegister, &QComboBox::currentIndexChanged, this, [this] { cbRegisterChange(); });
  Bind(eControl, &QLineEdit::textChanged, this, [this] { eControlChange(); });
  Bind(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
  connect(&feed, &TBusLogFeed::Appended, this, [this] { Follow(); });
  Follow();
}

TfrmBusLog::~TfrmBusLog() = default;

void TfrmBusLog::Follow() {
  Model_->Follow();
  if (chbFollow->isChecked()) tvLog->scrollToBottom();
  ShowCount();
}

void TfrmBusLog::ShowCount() {
  lblShown->setText(QStringLiteral("%1 of %2 entries shown; the log keeps the newest %3.")
                        .arg(Filter_->rowCount())
                        .arg(Model_->rowCount())
                        .arg(Feed_.Log().Capacity()));
}

void TfrmBusLog::cbRegisterChange() {
  Filter_->SetRegister(cbRegister->currentData().toLongLong());
  ShowCount();
}

void TfrmBusLog::eControlChange() {
  Filter_->SetControl(eControl->text());
  ShowCount();
}

std::vector<BusLogEntry> TfrmBusLog::ShownEntries() const {
  std::vector<BusLogEntry> entries;
  entries.reserve(static_cast<std::size_t>(Filter_->rowCount()));
  for (int row = 0; row < Filter_->rowCount(); ++row) {
    const QModelIndex source = Filter_->mapToSource(Filter_->index(row, 0));
    if (const BusLogEntry* entry = Model_->EntryAt(source.row())) entries.push_back(*entry);
  }
  return entries;
}

void TfrmBusLog::SaveShown(const std::string& file, BusLogFormat format) {
  Feed_.Flush();  // what the table shows is the log as it stands
  SaveBusLog(file, ShownEntries(), Feed_.Namer(), format);
}

void TfrmBusLog::bSaveClick() {
  const QString csv = QStringLiteral("CSV files (*.csv)");
  const QString text = QStringLiteral("Text files (*.txt)");
  QString filter = csv;
  const QString start =
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/buslog.csv";
  const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Save bus log"), start,
                                                    csv + ";;" + text, &filter);
  if (file.isEmpty()) return;
  const bool asText = filter == text || file.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
  SaveShown(file.toStdString(), asText ? BusLogFormat::Text : BusLogFormat::Csv);
}
