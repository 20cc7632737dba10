// Load, Save and Print driven through the main window with answered dialogs
// and message boxes, on real files in a scratch folder.
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "fake_dialogs.h"
#include "fake_message_boxes.h"
#include "ui/file_commands.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/locale_symbols.h"

namespace {

using Answer = MessageBoxes::Answer;
using Kind = FakeDialogs::Kind;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

const QByteArray kStartupRun = ReadAll(KORVO_TEST_DATA_DIR "/startup.run");

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  FakeMessageBoxes messages_;
  FakeDialogs dialogs_;
  std::unique_ptr<FileCommands> commands_;
  std::unique_ptr<frmMain> window_;

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QLineEdit* Line(const QString& name) { return window_->findChild<QLineEdit*>(name); }
  void Click(const char* button) { window_->findChild<QPushButton*>(button)->click(); }

  std::vector<Kind> DialogKinds() const {
    std::vector<Kind> kinds;
    for (const auto& d : dialogs_.shown) kinds.push_back(d.kind);
    return kinds;
  }

  // A run file of the default run with another gas and pressure.
  QString OtherRunFile() {
    QByteArray bytes = kStartupRun;
    bytes.replace("\"Steam\"", "\"Air\"").replace("\"740\"", "\"250\"");
    WriteAll(Path("other.run"), bytes);
    return Path("other.run");
  }

  void MakeWindow(const NumberSymbols& symbols) {
    window_.reset();
    commands_ = std::make_unique<FileCommands>(messages_, dialogs_, [] { return "stamp"; });
    window_ = std::make_unique<frmMain>(symbols, messages_, commands_.get());
    window_->show();
  }

 private slots:
  void initTestCase() {
    RegisterFontSubstitutes();
    QVERIFY(dir_.isValid());
    QCOMPARE(kStartupRun.size(), 450);
  }

  void init() {
    messages_ = FakeMessageBoxes();
    dialogs_ = FakeDialogs();
    MakeWindow(NumberSymbols{});
  }

  void cleanup() { window_.reset(); }

  // The question on every Load, right after start-up too, and where each of
  // its answers leads. A cancelled or failing save does not stop the load.
  void loadQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("savePath");  // empty: the save dialog is cancelled
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("Cancel") << int(Answer::Cancel) << "" << QStringList{} << false;
    QTest::newRow("No") << int(Answer::No) << "" << QStringList{} << true;
    QTest::newRow("Yes, saved") << int(Answer::Yes) << "saved.run" << QStringList{} << true;
    QTest::newRow("Yes, save cancelled") << int(Answer::Yes) << "" << QStringList{} << true;
    QTest::newRow("Yes, save fails")
        << int(Answer::Yes) << "no-such-folder/x.run" << QStringList{"Error Writing File"} << true;
  }

  void loadQuestion() {
    QFETCH(int, answer);
    QFETCH(QString, savePath);
    QFETCH(QStringList, messages);
    QFETCH(bool, loaded);
    const auto reply = static_cast<Answer>(answer);
    messages_.answers = {reply};
    if (reply == Answer::Yes)
      dialogs_.paths.push_back(savePath.isEmpty() ? std::nullopt : std::optional(Path(savePath)));
    dialogs_.paths.push_back(OtherRunFile());
    Click("cmdLoad");

    QCOMPARE(messages_.shown.at(0).kind, FakeMessageBoxes::Kind::Question);
    QCOMPARE(messages_.shown[0].title, QString("Question"));
    QCOMPARE(messages_.shown[0].text, QString("Do You Want to Save Your Current Values"));
    QStringList later;
    for (std::size_t i = 1; i < messages_.shown.size(); ++i) {
      QCOMPARE(messages_.shown[i].title, QString("Error"));
      QCOMPARE(messages_.shown[i].kind, FakeMessageBoxes::Kind::Exclamation);
      later << messages_.shown[i].text;
    }
    QCOMPARE(later, messages);
    std::vector<Kind> expected;
    if (reply == Answer::Yes) expected.push_back(Kind::Save);
    if (reply != Answer::Cancel) expected.push_back(Kind::Open);
    QCOMPARE(DialogKinds(), expected);
    QCOMPARE(Line("txtGas_0")->text(), QString(loaded ? "Air" : "Steam"));
    QCOMPARE(Line("txtInput_0")->text(), QString(loaded ? "250" : "740"));
    if (savePath == "saved.run") QCOMPARE(ReadAll(Path("saved.run")), kStartupRun);
  }

  // Save right after start-up writes the known file, under exactly the name
  // typed (no extension added), replacing what was there.
  void saveWritesTypedName() {
    WriteAll(Path("startup"), "older and longer content than the run file will have........");
    dialogs_.paths = {Path("startup")};
    Click("cmdSave");
    QCOMPARE(ReadAll(Path("startup")), kStartupRun);
    QVERIFY(!QFile::exists(Path("startup.run")));
    QVERIFY(messages_.shown.empty());
  }

  // Save clears the remembered name, Load keeps it; a cancelled dialog
  // leaves it as it was.
  void dialogFileName() {
    dialogs_.paths = {Path("a.run"), Path("b.run")};
    Click("cmdSave");
    Click("cmdSave");
    messages_.answers = {Answer::No, Answer::No};
    dialogs_.paths = {std::nullopt, Path("a.run")};
    Click("cmdLoad");  // cancelled: the name stays
    Click("cmdLoad");
    dialogs_.paths = {std::nullopt};
    Click("cmdSave");  // cancelled after clearing: the name is gone
    messages_.answers = {Answer::No};
    Click("cmdLoad");
    QStringList starts;
    for (const auto& d : dialogs_.shown) starts << d.startName;
    QCOMPARE(starts, (QStringList{"", "", Path("b.run"), Path("b.run"), "", ""}));
    QCOMPARE(messages_.shown.size(), std::size_t{3});  // the three questions
  }

  void loadMissingFile() {
    messages_.answers = {Answer::No};
    dialogs_.paths = {Path("does-not-exist.run")};
    Click("cmdLoad");
    QCOMPARE(messages_.shown.size(), std::size_t{2});
    QCOMPARE(messages_.shown[1].text, QString("Error Loading File"));
    QCOMPARE(messages_.shown[1].title, QString("Error"));
    QCOMPARE(Line("txtGas_0")->text(), QString("Steam"));
  }

  // A file that ends inside "Initial Properties": the boxes read so far show
  // the file's texts already while the message is up.
  void partialLoadShowsAtOnce() {
    QByteArray bytes = ReadAll(OtherRunFile());
    bytes.truncate(bytes.indexOf("\"600,000\""));
    WriteAll(Path("partial.run"), bytes);
    messages_.answers = {Answer::No};
    dialogs_.paths = {Path("partial.run")};
    QString gasDuringMessage, pressureDuringMessage;
    messages_.whileShown = [&] {
      gasDuringMessage = Line("txtGas_0")->text();
      pressureDuringMessage = Line("txtInput_0")->text();
    };
    Line("txtInput_2")->setText("1,234");
    Click("cmdLoad");
    QCOMPARE(messages_.shown.back().text, QString("Error Loading File"));
    QCOMPARE(gasDuringMessage, QString("Air"));
    QCOMPARE(pressureDuringMessage, QString("250"));
    QCOMPARE(Line("txtInput_2")->text(), QString("1,234"));  // not reached: kept
  }

  // Typed texts survive a save and a load exactly, results included.
  void saveThenLoadRoundTrip() {
    window_->cmdCalculate_Click();
    const QString flow = Line("txtLimiting_1")->text();
    QVERIFY(!flow.isEmpty());
    Line("txtGas_0")->setText("  Natural gas, dry ");
    dialogs_.paths = {Path("round.run")};
    Click("cmdSave");
    MakeWindow(NumberSymbols{});
    messages_.answers = {Answer::No};
    dialogs_.paths = {Path("round.run")};
    Click("cmdLoad");
    QCOMPARE(Line("txtGas_0")->text(), QString("  Natural gas, dry "));
    QCOMPARE(Line("txtLimiting_1")->text(), flow);
    QCOMPARE(messages_.shown.size(), std::size_t{1});
  }

  // Grouped numbers in a locale that groups with a narrow no-break space can
  // be saved: the space is one the run file's code page holds.
  void saveInFrenchLocale() {
    MakeWindow(SymbolsOf(QLocale(QLocale::French, QLocale::France)));
    dialogs_.paths = {Path("fr.run")};
    Click("cmdSave");
    QVERIFY(messages_.shown.empty());
    QVERIFY(ReadAll(Path("fr.run"))
                .contains("\"600\xA0"
                          "000\"\r\n"));
  }

  // Cancel in the printer dialog, or a dialog that fails, ends the command
  // silently.
  void printCancelled_data() {
    QTest::addColumn<bool>("fails");
    QTest::newRow("Cancel") << false;
    QTest::newRow("dialog fails") << true;
  }

  void printCancelled() {
    QFETCH(bool, fails);
    dialogs_.failNext = fails;
    commands_->Printer().setOutputFormat(QPrinter::PdfFormat);
    commands_->Printer().setOutputFileName(Path("cancelled.pdf"));
    Click("cmdPrint");
    QCOMPARE(DialogKinds(), std::vector<Kind>{Kind::Printer});
    QVERIFY(messages_.shown.empty());
    QVERIFY(!QFile::exists(Path("cancelled.pdf")));
  }

  void printWritesReport() {
    commands_->Printer().setOutputFormat(QPrinter::PdfFormat);
    commands_->Printer().setOutputFileName(Path("report.pdf"));
    dialogs_.copies = {1};
    Click("cmdPrint");
    QVERIFY(messages_.shown.empty());
    QVERIFY(ReadAll(Path("report.pdf")).startsWith("%PDF"));
    QCOMPARE(commands_->Printer().copyCount(), 1);
  }

  // Qt's own file dialogs, set up as the commands rely on: every file listed,
  // no suffix added, no question before replacing, any name accepted; the
  // dialog starts with the full path given, and Esc is Cancel.
  void qtFileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("open, OK") << false << true;
    QTest::newRow("open, Esc") << false << false;
    QTest::newRow("save, OK") << true << true;
  }

  void qtFileDialogs() {
    QFETCH(bool, save);
    QFETCH(bool, accept);
    const QString start = Path("missing");
    QFileDialog* seen = nullptr;
    QTimer::singleShot(0, this, [&] {
      seen = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (seen == nullptr) return;
      QCOMPARE(seen->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      QVERIFY(seen->testOption(QFileDialog::DontUseNativeDialog));
      QVERIFY(seen->testOption(QFileDialog::DontConfirmOverwrite));
      QCOMPARE(seen->fileMode(), QFileDialog::AnyFile);
      QCOMPARE(seen->defaultSuffix(), QString());
      QCOMPARE(seen->directory().absolutePath(), dir_.path());
      if (accept) {
        static_cast<QDialog*>(seen)->accept();  // as the OK button does
      } else {
        QTest::keyClick(seen, Qt::Key_Escape);
      }
    });
    QtDialogs dialogs;
    const auto chosen =
        save ? dialogs.SaveFile(window_.get(), start) : dialogs.OpenFile(window_.get(), start);
    QVERIFY(seen != nullptr);
    QCOMPARE(chosen, accept ? std::optional(start) : std::nullopt);
  }
};

QTEST_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
