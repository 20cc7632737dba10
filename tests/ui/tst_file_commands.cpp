// Load, Save and Print driven through the main window with answered dialogs
// and message boxes, on real files in a scratch folder.
#include <sys/stat.h>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ui/fonts.h"
#include "ui_fixture.h"

namespace {

using Answer = MessageBoxes::Answer;
const QByteArray kStartupRun = ReadAll(KORVO_TEST_DATA_DIR "/startup.run");
const QString kQuestion = "? Question: Do You Want to Save Your Current Values";

}  // namespace

class FileCommandsTest : public QObject, WindowFixture {
  Q_OBJECT

  QTemporaryDir dir_;

  QString Path(const QString& name) const { return dir_.filePath(name); }

  // The messages and dialogs shown, file names relative to the scratch folder.
  QStringList Shown() const {
    return QStringList(user_.shown).replaceInStrings(dir_.path() + "/", "");
  }

  // A run file of the default run with another gas name (blanks kept),
  // pressure and last result.
  QString OtherRunFile() {
    QByteArray bytes = kStartupRun;
    bytes.replace("\"Steam\"", "\" Air \"").replace("\"740\"", "\"250\"");
    WriteAll(Path("other.run"), bytes.replace("\"\"\r\n\"** KORVO", "\"0.5\"\r\n\"** KORVO"));
    return Path("other.run");
  }

 private slots:
  void initTestCase() {
    RegisterFontSubstitutes();
    QVERIFY(dir_.isValid());
    QCOMPARE(kStartupRun.size(), 450);
  }
  void init() { MakeWindow(); }
  void cleanup() { window_.reset(); }

  // The question on every Load, right after start-up too, and where each of
  // its answers leads. Save writes under exactly the name chosen, no
  // extension added; a cancelled or failing save does not stop the load, and
  // the open dialog starts with the name the save dialog was left with.
  void loadQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("savePath");   // empty: the save dialog is cancelled
    QTest::addColumn<QStringList>("shown");  // after the question
    // clang-format off
    QTest::newRow("Cancel") << int(Answer::Cancel) << "" << QStringList{};
    QTest::newRow("No") << int(Answer::No) << "" << QStringList{"Open "};
    QTest::newRow("Yes, saved") << int(Answer::Yes) << "saved"
        << QStringList{"Save ", "Open saved"};
    QTest::newRow("Yes, save cancelled") << int(Answer::Yes) << ""
        << QStringList{"Save ", "Open "};
    QTest::newRow("Yes, save fails") << int(Answer::Yes) << "no-such-folder/x.run"
        << QStringList{"Save ", "! Error: Error Writing File", "Open no-such-folder/x.run"};
    // clang-format on
  }

  void loadQuestion() {
    QFETCH(int, answer);
    QFETCH(QString, savePath);
    QFETCH(QStringList, shown);
    const auto reply = static_cast<Answer>(answer);
    user_.answers = {reply};
    if (reply == Answer::Yes)
      user_.paths.push_back(savePath.isEmpty() ? std::nullopt : std::optional(Path(savePath)));
    user_.paths.push_back(OtherRunFile());
    Click("cmdLoad");
    QCOMPARE(Shown(), QStringList{kQuestion} + shown);
    const bool loaded = reply != Answer::Cancel;
    QCOMPARE(Text("txtGas_0"), QString(loaded ? " Air " : "Steam"));
    QCOMPARE(Text("txtInput_0"), QString(loaded ? "250" : "740"));
    QCOMPARE(Text("txtCheck_2"), QString(loaded ? "0.5" : ""));
    if (savePath == "saved") QCOMPARE(ReadAll(Path("saved")), kStartupRun);
  }

  // Save clears the remembered name, Load keeps it; a cancelled dialog
  // leaves it as it was.
  void dialogFileName() {
    user_.paths = {Path("a.run"), Path("b.run")};
    Click("cmdSave");
    Click("cmdSave");
    user_.answers = {Answer::No, Answer::No};
    user_.paths = {std::nullopt, Path("a.run")};
    Click("cmdLoad");  // cancelled: the name stays
    Click("cmdLoad");
    user_.paths = {std::nullopt};
    Click("cmdSave");  // cancelled after clearing: the name is gone
    user_.answers = {Answer::No};
    Click("cmdLoad");
    QCOMPARE(Shown(), (QStringList{"Save ", "Save ", kQuestion, "Open b.run", kQuestion,
                                   "Open b.run", "Save ", kQuestion, "Open "}));
  }

  // A file that ends inside "Initial Properties": the boxes read so far show
  // the file's texts already while the message is up, the others keep theirs.
  void partialLoad() {
    QByteArray bytes = ReadAll(OtherRunFile());
    WriteAll(Path("partial.run"), bytes.left(bytes.indexOf("\"600,000\"")));
    user_.answers = {Answer::No};
    user_.paths = {Path("partial.run")};
    QString gasDuringMessage;
    user_.whileShown = [&] { gasDuringMessage = Text("txtGas_0"); };
    Line("txtInput_2")->setText("1,234");
    Click("cmdLoad");
    QCOMPARE(Shown(), (QStringList{kQuestion, "Open ", "! Error: Error Loading File"}));
    QCOMPARE(gasDuringMessage, QString(" Air "));
    QCOMPARE(Text("txtInput_0"), QString("250"));
    QCOMPARE(Text("txtInput_2"), QString("1,234"));  // not reached: kept
  }

  // A description that the box shows otherwise than it holds (a lone CR
  // makes a line break, a no-break space looks like a blank) goes back into
  // a Save as it was loaded. Edited, its lines end as the box shows them and
  // the no-break space stays.
  void descriptionKeptAsLoaded_data() {
    QTest::addColumn<QByteArray>("item");  // the description as the file holds it
    QTest::addColumn<int>("lines");        // as the box shows it
    QTest::addColumn<QByteArray>("edited");
    QTest::newRow("lone CR") << QByteArray("one\rtwo") << 2 << QByteArray("one\r\ntwox");
    QTest::newRow("no-break space") << QByteArray("a\xA0z") << 1 << QByteArray("a\xA0zx");
  }

  void descriptionKeptAsLoaded() {
    QFETCH(QByteArray, item);
    QFETCH(int, lines);
    QFETCH(QByteArray, edited);
    const auto fileWith = [](const QByteArray& description) {
      return QByteArray(kStartupRun)
          .replace("Information\"\r\n\"\"", "Information\"\r\n\"" + description + '"');
    };
    WriteAll(Path("loaded.run"), fileWith(item));
    user_.answers = {Answer::No};
    user_.paths = {Path("loaded.run"), Path("saved.run")};
    Click("cmdLoad");
    auto* box = Child<QPlainTextEdit>("txtGeneral_0");
    QCOMPARE(box->blockCount(), lines);
    Click("cmdSave");
    QCOMPARE(ReadAll(Path("saved.run")), fileWith(item));

    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, "x");
    user_.paths = {Path("saved.run")};
    Click("cmdSave");
    QCOMPARE(ReadAll(Path("saved.run")), fileWith(edited));
  }

  // A run file named on the command line loads as Load's last step does: no
  // question, no dialog; a file that ends early shows Load's message and
  // leaves the texts read before the fault.
  void openRunFile() {
    window_->OpenRunFile(QFile::encodeName(OtherRunFile()).toStdString());
    QCOMPARE(Text("txtGas_0"), QString(" Air "));
    QCOMPARE(Text("txtCheck_2"), QString("0.5"));
    QVERIFY(user_.shown.empty());
    MakeWindow();
    const QByteArray bytes = ReadAll(Path("other.run"));
    WriteAll(Path("partial.run"), bytes.left(bytes.indexOf("\"600,000\"")));
    window_->OpenRunFile(QFile::encodeName(Path("partial.run")).toStdString());
    QCOMPARE(user_.shown, QStringList{"! Error: Error Loading File"});
    QCOMPARE(Text("txtInput_0"), QString("250"));
  }

  // Cancel in the printer dialog, or a dialog that fails, ends the command
  // silently. Copies chosen for a file all arrive in it, one document holding
  // them page after page; the printer's own copy count is reset to one, so
  // that it does not multiply them.
  void print() {
    for (const auto& [copies, fails] : {std::pair{0, false}, {3, true}, {3, false}}) {
      MakeWindow();
      user_.dialogsFail = fails;
      if (copies > 0) user_.copies = {copies};
      commands_->Printer().setOutputFormat(QPrinter::PdfFormat);
      commands_->Printer().setOutputFileName(Path("report.pdf"));
      if (copies > 0) commands_->Printer().setCopyCount(copies);  // as the dialog leaves it
      QFile::remove(Path("report.pdf"));
      Click("cmdPrint");
      QCOMPARE(user_.shown, QStringList{"Printer"});
      const QByteArray pdf = ReadAll(Path("report.pdf"));
      QCOMPARE(pdf.startsWith("%PDF"), copies > 0 && !fails);
      if (!pdf.isEmpty()) QCOMPARE(pdf.count("/Type /Page\n"), 3);
      if (!fails && copies > 0) QCOMPARE(commands_->Printer().copyCount(), 1);
    }
  }

  // Qt's own file dialogs, set up as the commands rely on: every file listed,
  // no suffix added, no question before replacing, any name accepted; the
  // dialog starts with the full path given, and Esc is Cancel.
  void qtFileDialogs() {
    const QString start = Path("missing");
    for (const auto& [save, accept] : {std::pair{false, true}, {false, false}, {true, true}}) {
      QFileDialog* seen = nullptr;
      QTimer::singleShot(0, this, [&, save = save, accept = accept] {
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
  }

  // The file dialogs decide no icon or type by reading a file: a folder
  // holding a named pipe without a writer, then /proc, are listed with their
  // types and the dialog closes. Reading /proc/kmsg blocks once the kernel's
  // messages are consumed (and consumes them); a listing that blocks for a
  // minute ends the test through the watchdog.
  void dialogsReadNoFile() {
    QVERIFY(mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600) == 0);
    std::atomic<bool> returned = false;
    std::thread watchdog([&returned] {
      for (int tenths = 0; tenths < 600 && !returned; ++tenths) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (returned) return;
      std::fputs("FAIL: the file dialog blocked in its listing\n", stderr);
      std::_Exit(1);  // a blocked call would never return to report
    });
    QStringList types;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      auto* model = dialog->findChild<QFileSystemModel*>();
      const QString proc = QFileInfo::exists("/proc/kmsg") ? "/proc/kmsg" : "/proc/version";
      const auto listTypes = [&] {  // a failed wait returns early, and the dialog still closes
        for (const QString& file : {Path("pipe"), proc}) {
          dialog->setDirectory(QFileInfo(file).path());
          const auto type = [&] { return model->index(file, 2).data().toString(); };
          QTRY_VERIFY_WITH_TIMEOUT(!type().isEmpty(), 10000);
          types << type();
        }
      };
      listTypes();
      dialog->reject();
    });
    const auto chosen = QtDialogs().OpenFile(window_.get(), Path("pipe"));
    returned = true;
    watchdog.join();
    QCOMPARE(chosen, std::nullopt);
    QCOMPARE(types.size(), 2);
    QCOMPARE(types.front(), QMimeDatabase().mimeTypeForName("inode/fifo").comment());
  }
};

QTEST_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
