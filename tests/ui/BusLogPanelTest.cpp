// The bus log on the simulated crate: every access of the panel with the
// control that caused it, the bounded ring, the log window's filters and
// saving, and the file log.

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>

#include "PresetFile.h"
#include "SimPanel.h"
#include "base/Exception.h"
#include "buslog/BusLogFormat.h"
#include "support/ExampleConfigFile.h"
#include "ui/BusLogFeed.h"
#include "ui/ErrorBox.h"
#include "ui/FBusLog.h"
#include "ui/FSelectValue.h"
#include "ui/SpinEdit.h"

namespace {

namespace fs = std::filesystem;

// An access as the log holds it, without time and cause.
struct Access {
  char kind;  // 'W', 'R'
  std::uint32_t offset;
  unsigned width;
  std::uint32_t value;
  bool operator==(const Access&) const = default;
};
void PrintTo(const Access& a, std::ostream* out) {
  *out << a.kind << a.width << std::hex << "(0x" << a.offset << ", 0x" << a.value << ")";
}

class BusLogPanel : public SimPanel {
 protected:
  void StartWith(const std::string& content) {
    Windows = {};
    WriteTextFile(Dir.IniPath(), content);
    SetUp();
  }
  const BusLog& Log() const { return Main->BusLog().Log(); }
  std::vector<BusLogEntry> Since(std::uint64_t sequence) const {
    std::vector<BusLogEntry> entries;
    for (std::uint64_t s = std::max(sequence, Log().First()); s < Log().Total(); ++s)
      entries.push_back(*Log().Find(s));
    return entries;
  }
  static std::vector<Access> Accesses(const std::vector<BusLogEntry>& entries) {
    std::vector<Access> accesses;
    for (const BusLogEntry& e : entries)
      accesses.push_back({e.Access == BusAccess::Write ? 'W' : 'R', e.Address - sim::kTTCviBase,
                          8 * e.Bytes, e.Value});
    return accesses;
  }
  static std::set<std::string> Causes(const std::vector<BusLogEntry>& entries) {
    std::set<std::string> causes;
    for (const BusLogEntry& e : entries) causes.insert(e.Cause ? *e.Cause : "(none)");
    return causes;
  }
  // The bus cycles the crate saw, as accesses.
  static std::vector<Access> CrateCycles() {
    std::vector<Access> accesses;
    for (const sim::BusCycle& c : Crate().Cycles())
      accesses.push_back({c.write ? 'W' : 'R', c.address - sim::kTTCviBase, c.width, c.value});
    return accesses;
  }
  // Opens the log window with its shortcut, as an operator does.
  TfrmBusLog* OpenLog() {
    QTest::keyClick(Main, Qt::Key_L, Qt::ControlModifier);
    return qobject_cast<TfrmBusLog*>(TopLevel("frmBusLog"));
  }
  // The table's rows as shown, cell by cell.
  static std::vector<BusLogFields> Shown(TfrmBusLog* window) {
    const QAbstractItemModel* model = Control<QTableView>(window, "tvLog")->model();
    std::vector<BusLogFields> rows(static_cast<std::size_t>(model->rowCount()));
    for (int row = 0; row < model->rowCount(); ++row)
      for (int column = 0; column < model->columnCount(); ++column)
        rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
            model->data(model->index(row, column)).toString().toStdString();
    return rows;
  }
};

TEST_F(BusLogPanel, PresetApplyIsLoggedAccessByAccessUnderThePresetsName) {
  StartWith(kPhysicsPresetFile);
  Find<QComboBox>("lbPresettings")->setCurrentIndex(0);
  Find<QComboBox>("cmbTTC")->setCurrentIndex(1);  // the preset chooses its own TTCrx
  const std::uint64_t before = Log().Total();
  {
    ModalAnswers answers({PressOk});
    Click("bAplayPreset");
  }

  const std::uint32_t csr1 = 0x5000 | 0x0008;
  const std::vector<Access> expected = {
      {'W', 0x80, 16, csr1},       {'W', 0x80, 16, csr1},      {'W', 0x80, 16, csr1 | 5},
      {'W', 0x80, 16, csr1 | 5},   {'W', 0x92, 16, 1},         {'W', 0x94, 16, 5},
      {'W', 0x9A, 16, 2},          {'W', 0x9C, 16, 6},         {'W', 0xA2, 16, 3},
      {'W', 0xA4, 16, 7},          {'W', 0xAA, 16, 4},         {'W', 0xAC, 16, 8},
      {'W', 0xC0, 16, 0x800A},     {'W', 0xC2, 16, 0x0000},    {'W', 0xC0, 16, 0x800A},
      {'W', 0xC2, 16, 0x01EF},     {'W', 0xC0, 16, 0x800A},    {'W', 0xC2, 16, 0x0235},
      {'W', 0x90, 16, 0},          {'W', 0x98, 16, 0},         {'W', 0xA0, 16, 0x19},
      {'W', 0xA8, 16, 0},          {'W', 0xC0, 16, 0x800A},    {'W', 0xC2, 16, 0x0381},
      {'W', 0x82, 16, 0x0200},     {'W', 0x82, 16, 0xF200},    {'W', 0xB8, 32, 0x800A03C8},
      {'W', 0xB8, 32, 0x15000000}, {'W', 0xB8, 32, 0x00000001}};
  const std::vector<BusLogEntry> applied = Since(before);
  EXPECT_EQ(Accesses(applied), expected);
  EXPECT_EQ(Causes(applied), std::set<std::string>{"Apply preset 'Physics'"});
  for (const BusLogEntry& entry : applied) EXPECT_FALSE(entry.Failed);
  // Nothing reached the crate that the log does not hold, nor the other way.
  EXPECT_EQ(CrateCycles(), expected);
}

TEST_F(BusLogPanel, EachAccessNamesTheControlAndWhatItActedOn) {
  StartWith(kExampleConfigFile);  // sequence Trig; TTCrx Rx1 = 1 (selected), Rx2 = 0x1F
  struct Case {
    const char* what;
    std::function<void()> act;
    std::string cause;
    std::size_t accesses;
  };
  const Case cases[] = {
      {"slider",
       [&] { Control<QSlider>(Find<TfrSelectValue>("frSelectReg0"), "tbTrackBar")->setValue(100); },
       "Deskew 1 of Rx1", 2},
      {"typed deskew",
       [&] {
         auto* box = Control<TSpinEdit>(Find<TfrSelectValue>("frSelectReg1"), "seSpinEdit");
         box->setFocus();
         box->selectAll();
         QTest::keyClicks(box, "50");  // "5" and "50": two moves, each one cycle
       },
       "Deskew 2 of Rx1", 4},
      {"other TTCrx",
       [&] {
         Find<QComboBox>("cmbTTC")->setCurrentIndex(1);
         Find<TfrSelectValue>("frSelectReg2")->SetValue(3);
       },
       "Coar Del 1 of Rx2", 2},
      {"retransmit box", [&] { Toggle("chbRetransmit"); }, "B-Go 0 Retransmit off", 1},
      // The tab shows channel 1's box ticked again: the CSR2 write that
      // follows is the tab's doing.
      {"tab", [&] { Find<QTabBar>("TabControl1")->setCurrentIndex(1); }, "Tab B-Go 1", 1},
      {"read", [&] { Click("Button1"); }, "READ CSR1", 1},
      {"load",
       [&] {
         Find<QListWidget>("lbB_GoDataSeq")->setCurrentRow(0);
         Click("bLoadFIFO");
       },
       "Load FIFO of B-Go 1 'Trig'", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint64_t before = Log().Total();
    c.act();
    const std::vector<BusLogEntry> entries = Since(before);
    EXPECT_EQ(entries.size(), c.accesses);
    EXPECT_EQ(Causes(entries), std::set<std::string>{c.cause});
  }
}

TEST_F(BusLogPanel, StartUpHasItsCauseAndAFailureIsLoggedWithTheErrorShown) {
  const std::vector<BusLogEntry> startUp = Since(0);
  EXPECT_EQ(Accesses(startUp), (std::vector<Access>{{'W', 0x84, 16, 0},
                                                    {'W', 0x90, 16, 0},
                                                    {'W', 0x98, 16, 0},
                                                    {'W', 0xA0, 16, 0},
                                                    {'W', 0xA8, 16, 0},
                                                    {'W', 0x80, 16, 0x0008}}));
  EXPECT_EQ(Causes(startUp), std::set<std::string>{"Start-up"});

  Crate().FailNext(sim::Call::Write, sim::kStatusInjected);
  const QString shown = AnsweredBox([&] { Click("bReset"); });
  const BusLogEntry& failed = *Log().Find(Log().Total() - 1);
  EXPECT_TRUE(failed.Failed);
  EXPECT_EQ(ErrorBoxText(failed.Error), shown);
  EXPECT_EQ(Causes({failed}), std::set<std::string>{"Reset TTCvi"});
}

TEST_F(BusLogPanel, TheRingKeepsItsSizeHoweverLongTheSession) {
  StartWith("[BusLog]\nEntries=100\n");
  for (int i = 0; i < 150; ++i) Click("bReset");
  EXPECT_EQ(Log().Capacity(), 100u);
  EXPECT_EQ(Log().Size(), 100u);
  EXPECT_EQ(Log().Total(), 6u + 150u);

  TfrmBusLog* window = OpenLog();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Control<QTableView>(window, "tvLog")->model()->rowCount(), 100);
  for (int i = 0; i < 30; ++i) Click("bReset");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Log().Total() == Log().ReadUpTo(); }));
  EXPECT_EQ(Control<QTableView>(window, "tvLog")->model()->rowCount(), 100);
  EXPECT_EQ(Shown(window).back()[0], std::to_string(6 + 150 + 30));  // the newest at the bottom
}

TEST_F(BusLogPanel, TheWindowFollowsFiltersAndSavesWhatItShows) {
  TfrmBusLog* window = OpenLog();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Bus log"));
  EXPECT_EQ(Control<QTableView>(window, "tvLog")->model()->rowCount(), 6);  // start-up

  Click("Button1");
  Click("btReadCSR2");
  Click("Button1");
  Click("bReset");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return Control<QTableView>(window, "tvLog")->model()->rowCount() == 10; }));

  auto* registers = Control<QComboBox>(window, "cbRegister");
  registers->setCurrentIndex(registers->findText("CSR1 (0x80)"));
  EXPECT_EQ(Control<QTableView>(window, "tvLog")->model()->rowCount(),
            3);  // start-up's write and the two reads
  Control<QLineEdit>(window, "eControl")->setText("read csr");  // any part, any case
  const std::vector<BusLogFields> shown = Shown(window);
  ASSERT_EQ(shown.size(), 2u);
  for (const BusLogFields& row : shown) {
    EXPECT_EQ(row[2], "read");
    EXPECT_EQ(row[3], "CSR1 (0x80)");
    EXPECT_EQ(row[6], "0x0008");
    EXPECT_EQ(row[8], "READ CSR1");
  }

  // Saved through the file dialog, as the operator does.
  const fs::path csv = Dir.Root() / "shown.csv";
  ModalAnswer save([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString(csv.string()));
    static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept: as its Save button
  });
  QTest::mouseClick(Control<QPushButton>(window, "bSave"), Qt::LeftButton);
  ASSERT_TRUE(save.Answered());
  std::vector<std::string> lines;
  std::istringstream saved(ReadTextFile(csv));
  for (std::string line; std::getline(saved, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1 + shown.size());
  EXPECT_EQ(lines[0], CsvLine(BusLogHeadings()));
  for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(lines[i + 1], CsvLine(shown[i]));

  const fs::path text = Dir.Root() / "shown.txt";
  window->SaveShown(text.string(), BusLogFormat::Text);
  const std::string written = ReadTextFile(text);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3);
  for (const BusLogFields& row : shown) EXPECT_NE(written.find(row[1]), std::string::npos);

  EXPECT_THROW(window->SaveShown(Dir.Root().string(), BusLogFormat::Csv), EFileWriteError);
}

// XDG_DATA_HOME points to a fresh folder for the test.
class FileLogPanel : public BusLogPanel {
 protected:
  void SetUp() override {
    if (const char* value = std::getenv("XDG_DATA_HOME")) Saved_ = value;
    setenv("XDG_DATA_HOME", (Dir.Root() / "data").c_str(), 1);
    BusLogPanel::SetUp();
  }
  void TearDown() override {
    Windows = {};
    if (Saved_)
      setenv("XDG_DATA_HOME", Saved_->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }
  fs::path LogFile() const { return Dir.Root() / "data" / "quorvane" / "buslog.csv"; }

 private:
  std::optional<std::string> Saved_;
};

TEST_F(FileLogPanel, WritesEveryAccessToTheUsersDataFolderAndLeavesItsSectionAsItWas) {
  const std::string settings = "[BusLog]\nFileLog=1\nKeepFiles=2\n";
  StartWith(settings);
  EXPECT_EQ(Main->BusLog().LogFile(), LogFile());
  Click("Button1");
  Main->BusLog().Flush();
  std::vector<std::string> lines;
  std::istringstream file(ReadTextFile(LogFile()));
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u + 6u + 1u);
  EXPECT_EQ(lines[0], CsvLine(BusLogHeadings()));
  EXPECT_NE(lines[1].find(",write,Software reset (0x84),0xFF1084,16,0x0000,OK,Start-up"),
            std::string::npos)
      << lines[1];
  EXPECT_NE(lines[7].find(",read,CSR1 (0x80),0xFF1080,16,0x0008,OK,READ CSR1"), std::string::npos)
      << lines[7];

  ASSERT_TRUE(Main->close());
  EXPECT_EQ(ReadTextFile(Dir.IniPath()).rfind(settings, 0), 0u);  // kept, not rewritten
}

TEST_F(FileLogPanel, AFileThatCannotBeWrittenIsReportedOnceAndThePanelGoesOn) {
  WriteTextFile(Dir.Root() / "data", "a file where the folder should be");
  {
    // The first batch may already pass while the window comes up.
    ModalAnswer answer(PressOk);
    StartWith("[BusLog]\nFileLog=1\n");
    Main->BusLog().Flush();
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(answer.Text().startsWith("Bus log: cannot make the folder of " +
                                         QString::fromStdString(LogFile().string())))
        << answer.Text().toStdString();
  }
  EXPECT_EQ(Main->BusLog().LogFile(), fs::path());  // off from now on
  EXPECT_EQ(AnsweredBox([&] {
              Click("Button1");
              Main->BusLog().Flush();
            }),
            QString());
  const BusLogEntry& newest = *Log().Find(Log().Total() - 1);
  EXPECT_EQ(Causes({newest}), std::set<std::string>{"READ CSR1"});
}

}  // namespace
