#include "ui/DlgB_GoData.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "base/Exception.h"
#include "base/ReadNumber.h"
#include "base/StoredText.h"
#include "ttcvi/BChannelWord.h"
#include "ui/DialogFrame.h"
#include "ui/EventGuard.h"

namespace {

// The dialog's own spelling of the number-entry hint.
const char* const kNumberHint = "Decyamal or Hexadecimal (with x on begin)";
constexpr int kPanelMargin = 5;
constexpr int kButtonPadding = 16;

QLabel* MakeLabel(QWidget* parent, const char* objectName, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(objectName));
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* objectName, const char* text, int maxLength,
                    const char* hint) {
  auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  if (maxLength > 0) {
    edit->setMaxLength(maxLength);
    // Wide enough for its longest text, an "x" prefix included.
    const QFontMetrics metrics(edit->font());
    edit->setFixedWidth(metrics.horizontalAdvance(QString(maxLength + 1, QLatin1Char('0'))) + 10);
  }
  if (hint != nullptr) edit->setToolTip(QString::fromLatin1(hint));
  return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* objectName, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(objectName));
  // As wide as the caption needs: some styles ask 80 pixels of every button,
  // more than this compact dialog has room for.
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + kButtonPadding);
  return button;
}

// A format's entry panel: outer edge sunken until a word of its format is
// picked in the list.
QFrame* MakePanel(QWidget* parent, const char* objectName) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(objectName));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

}  // namespace

TB_GoDataDlg::TB_GoDataDlg(QWidget* parent) : QDialog(parent) {
  DialogFrame frame = BeginDialogFrame(this, "B_GoDataDlg", "B_Go Data");
  QWidget* bevel = frame.Bevel;

  // Left: name, the words of the sequence, Delete.
  auto* nameLabel = MakeLabel(bevel, "Label1", "Name");
  eName = MakeEdit(bevel, "eName", "eName", 0, nullptr);
  nameLabel->setBuddy(eName);

  auto* listFrame = new QFrame(bevel);
  listFrame->setObjectName(QStringLiteral("Panel3"));
  listFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  auto* longForm = MakeLabel(listFrame, "Label2", "RxADDR, E, SUBADDR, DATA");
  auto* shortForm = MakeLabel(listFrame, "Label3", "COMMAND");
  lbB_BoData = new QListWidget(listFrame);
  lbB_BoData->setObjectName(QStringLiteral("lbB_BoData"));
  lbB_BoData->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* listLayout = new QVBoxLayout(listFrame);
  listLayout->setContentsMargins(4, 2, 4, 4);
  listLayout->setSpacing(2);
  listLayout->addWidget(longForm);
  listLayout->addWidget(shortForm);
  listLayout->addWidget(lbB_BoData, 1);

  bDelete = MakeButton(bevel, "bDelete", "Delete");

  auto* nameRow = new QHBoxLayout;
  nameRow->setSpacing(6);
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(eName, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(nameRow);
  left->addWidget(listFrame, 1);
  left->addWidget(bDelete, 0, Qt::AlignLeft);

  // Right: long-format entry above short-format entry, labels over edits.
  Panel1 = MakePanel(bevel, "Panel1");
  auto* longTitle = MakeLabel(Panel1, "Label4", "Long-format cycle");
  auto* rxLabel = MakeLabel(Panel1, "Label5", "Rx ADDR");
  eRxAddres = MakeEdit(Panel1, "eRxAddres", "00000", 5, kNumberHint);
  bCurRx = MakeButton(Panel1, "bCurRx", "< Curr Rx");
  chbExternal = new QCheckBox(QStringLiteral("Extern"), Panel1);
  chbExternal->setObjectName(QStringLiteral("chbExternal"));
  chbExternal->setChecked(true);
  auto* subaddrLabel = MakeLabel(Panel1, "Label6", "SUBADDR");
  eSubaddr = MakeEdit(Panel1, "eSubaddr", "000", 3, kNumberHint);
  auto* dataLabel = MakeLabel(Panel1, "Label7", "DATA");
  eData = MakeEdit(Panel1, "eData", "000", 3, kNumberHint);
  rxLabel->setBuddy(eRxAddres);
  subaddrLabel->setBuddy(eSubaddr);
  dataLabel->setBuddy(eData);

  auto* longGrid = new QGridLayout(Panel1);
  longGrid->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
  longGrid->setHorizontalSpacing(4);
  longGrid->setVerticalSpacing(1);
  longGrid->addWidget(longTitle, 0, 0, 1, 2);
  longGrid->addItem(new QSpacerItem(0, 4), 1, 0);
  longGrid->addWidget(rxLabel, 2, 0);
  longGrid->addWidget(eRxAddres, 3, 0);
  longGrid->addWidget(bCurRx, 3, 1, Qt::AlignLeft);
  longGrid->addWidget(chbExternal, 4, 0, 1, 2);
  longGrid->addWidget(subaddrLabel, 5, 0);
  longGrid->addWidget(dataLabel, 5, 1);
  longGrid->addWidget(eSubaddr, 6, 0);
  longGrid->addWidget(eData, 6, 1);
  longGrid->setColumnStretch(1, 1);

  Panel2 = MakePanel(bevel, "Panel2");
  auto* shortTitle = MakeLabel(Panel2, "Label8", "Short-format cycle");
  auto* commandLabel = MakeLabel(Panel2, "Label9", "COMMAND");
  eCommand = MakeEdit(Panel2, "eCommand", "000", 3, kNumberHint);
  commandLabel->setBuddy(eCommand);
  auto* shortGrid = new QGridLayout(Panel2);
  shortGrid->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
  shortGrid->setVerticalSpacing(1);
  shortGrid->addWidget(shortTitle, 0, 0);
  shortGrid->addItem(new QSpacerItem(0, 4), 1, 0);
  shortGrid->addWidget(commandLabel, 2, 0);
  shortGrid->addWidget(eCommand, 3, 0);
  shortGrid->setColumnStretch(1, 1);

  // Centre: each "<< Add" level with the panel it takes its word from.
  bAddLong = MakeButton(bevel, "bAddLong", "<< Add");
  AddShort = MakeButton(bevel, "AddShort", "<< Add");

  auto* grid = new QGridLayout(bevel);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(6);
  grid->addLayout(left, 0, 0, 3, 1);
  grid->addWidget(bAddLong, 0, 1, Qt::AlignVCenter);
  grid->addWidget(AddShort, 1, 1, Qt::AlignVCenter);
  grid->addWidget(Panel1, 0, 2);
  grid->addWidget(Panel2, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(2, 1);

  EndDialogFrame(this, frame, QSize(440, 304));

  Bind(bAddLong, &QPushButton::clicked, this, [this] { bAddLongClick(); });
  Bind(AddShort, &QPushButton::clicked, this, [this] { AddShortClick(); });
  Bind(bDelete, &QPushButton::clicked, this, [this] { bDeleteClick(); });
  Bind(bCurRx, &QPushButton::clicked, this, [this] { bCurRxClick(); });
  // A click on a line, and the keyboard moving to one, show its fields.
  Bind(lbB_BoData, &QListWidget::itemClicked, this, [this] { lbB_BoDataClick(); });
  Bind(lbB_BoData, &QListWidget::currentRowChanged, this, [this] { lbB_BoDataClick(); });
}

std::optional<BGoDataSequence> TB_GoDataDlg::Execute(const std::optional<BGoDataSequence>& edited,
                                                     std::uint16_t currentRx) {
  CurrentRxAddress = currentRx;
  Words = edited ? edited->Words : BGoWords();
  lbB_BoData->clear();
  if (edited) {
    eName->setText(QString::fromStdString(StoredTextToUtf8(edited->Name)));
    for (const BChannelWord& word : Words)
      lbB_BoData->addItem(QString::fromStdString(WordDisplayText(word)));
  }
  const bool accepted = exec() == QDialog::Accepted;
  // The list shows the words of one showing only.
  lbB_BoData->clear();
  if (!accepted) return std::nullopt;
  const std::string shown = eName->text().toStdString();
  return BGoDataSequence{edited ? TextToStore(edited->Name, shown) : shown, std::move(Words)};
}

namespace {

std::int32_t Number(const QLineEdit* edit) { return ReadNumber(edit->text().toStdString()); }

int SelectedLine(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.front());
}

}  // namespace

void TB_GoDataDlg::bAddLongClick() {
  // All three are read before anything is added: a bad text adds nothing.
  const std::int32_t address = Number(eRxAddres);
  const std::int32_t subaddress = Number(eSubaddr);
  const std::int32_t data = Number(eData);
  Words.push_back(MakeLongWord(static_cast<std::uint32_t>(address), chbExternal->isChecked(),
                               static_cast<std::uint32_t>(subaddress),
                               static_cast<std::uint32_t>(data)));
  // The line shows the texts as typed until the sequence is opened again.
  lbB_BoData->addItem(eRxAddres->text() + QStringLiteral(", ") +
                      (chbExternal->isChecked() ? QStringLiteral("1") : QStringLiteral("0")) +
                      QStringLiteral(", ") + eSubaddr->text() + QStringLiteral(", ") +
                      eData->text());
}

void TB_GoDataDlg::AddShortClick() {
  const std::int32_t command = Number(eCommand);
  Words.push_back(MakeShortWord(static_cast<std::uint32_t>(command)));
  lbB_BoData->addItem(eCommand->text());
}

void TB_GoDataDlg::lbB_BoDataClick() {
  const int line = SelectedLine(lbB_BoData);
  if (line < 0 || static_cast<std::size_t>(line) >= Words.size()) return;
  const BChannelWord& word = Words[static_cast<std::size_t>(line)];
  const bool isLong = IsLongWord(word);
  // The raised frame marks the format of the word picked.
  Panel1->setFrameShadow(isLong ? QFrame::Raised : QFrame::Sunken);
  Panel2->setFrameShadow(isLong ? QFrame::Sunken : QFrame::Raised);
  if (isLong) {
    const LongFields fields = DecodeLong(word);
    eRxAddres->setText(QString::number(fields.address));
    chbExternal->setChecked(fields.external);
    eSubaddr->setText(QString::number(fields.subaddress));
    eData->setText(QString::number(fields.data));
  } else {
    eCommand->setText(QString::number(DecodeShort(word)));
  }
}

void TB_GoDataDlg::bDeleteClick() {
  const int line = SelectedLine(lbB_BoData);
  if (line < 0) return;
  if (static_cast<std::size_t>(line) < Words.size()) Words.erase(Words.begin() + line);
  // Removing a line picks none: the edits keep what they show.
  const QSignalBlocker quiet(lbB_BoData);
  delete lbB_BoData->takeItem(line);
  lbB_BoData->setCurrentRow(-1);
}

void TB_GoDataDlg::bCurRxClick() { eRxAddres->setText(QString::number(CurrentRxAddress)); }
