// The main window driven as a user drives it: composition, tab order, the
// focus-loss validation, the Calculate ends, About and Exit.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "fake_message_boxes.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/frm_splash.h"
#include "ui/winapi.h"

namespace {

const QString kRefusal = "Please Enter a Numeric Value";

QWidget* VisibleTopLevel(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

int CountTopLevels(const QString& name) {
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name;
  return count;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  FakeMessageBoxes messages_;
  std::unique_ptr<frmMain> window_;

  template <typename T = QWidget>
  T* Child(const QString& name) {
    auto* w = window_->findChild<T*>(name);
    if (w == nullptr) qFatal("no widget %s", qPrintable(name));
    return w;
  }
  QLineEdit* Line(const QString& name) { return Child<QLineEdit>(name); }

  // Types a text into a box that has the focus, replacing what it held.
  void TypeInto(const QString& name, const QString& text) {
    QLineEdit* box = Line(name);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
  }

  void PressAlt(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }

  std::vector<QString> ResultTexts() {
    std::vector<QString> texts;
    for (const FieldInfo& f : FieldTable()) {
      if (f.isResult) texts.push_back(window_->BoxText(f.ref));
    }
    return texts;
  }

 private slots:
  void initTestCase() { RegisterFontSubstitutes(); }

  void init() {
    messages_ = FakeMessageBoxes();
    window_ = std::make_unique<frmMain>(NumberSymbols{}, messages_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void cleanup() {
    window_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "frmSplash") delete w;
    }
  }

  void composition_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("isResult");
    QTest::addColumn<QString>("caption");
    const char* prefixes[][2] = {{"txtGeneral", "lblGeneral"},
                                 {"txtGas", "lblGas"},
                                 {"txtPipe", "lblPipe"},
                                 {"txtInput", "lblInputs"},
                                 {"txtExit", "lblExit"},
                                 {"txtPressureLoss", "lblPressureLoss"},
                                 {"txtStagnation", "lblStagnation"},
                                 {"txtLimiting", "lblLimiting"},
                                 {"txtCheck", "lblCheck"}};
    for (const FieldInfo& f : FieldTable()) {
      const auto* p = prefixes[static_cast<int>(f.ref.array)];
      const QString box = QString("%1_%2").arg(p[0]).arg(f.ref.index);
      QTest::newRow(qPrintable(box))
          << box << QString("%1_%2").arg(p[1]).arg(f.ref.index) << f.isResult
          << QString::fromStdString(std::string(f.caption));
    }
  }

  // Every box carries its caption, default text and kind; results are locked.
  void composition() {
    QFETCH(QString, box);
    QFETCH(QString, label);
    QFETCH(bool, isResult);
    QFETCH(QString, caption);
    QCOMPARE(Child<QLabel>(label)->text(), caption);
    QWidget* w = Child(box);
    if (box == "txtGeneral_0") {
      QVERIFY(qobject_cast<QPlainTextEdit*>(w)->tabChangesFocus());
      QCOMPARE(w->focusPolicy(), Qt::StrongFocus);
      return;
    }
    auto* line = qobject_cast<QLineEdit*>(w);
    QCOMPARE(line->isReadOnly(), isResult);
    QCOMPARE(line->focusPolicy(), isResult ? Qt::ClickFocus : Qt::StrongFocus);
    QCOMPARE(bool(line->alignment() & Qt::AlignRight), box != "txtGas_0");
    if (isResult) {
      QCOMPARE(line->text(), QString());
      QCOMPARE(line->palette().color(QPalette::Base), line->palette().color(QPalette::Button));
    }
  }

  void captionsAndDefaults() {
    QCOMPARE(window_->windowTitle(), QString("Korvo Fow"));
    QCOMPARE(window_->size(), QSize(574, 682));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(Child<QLabel>("lblInputs_0")->text(), QString("Initia, psia"));
    QCOMPARE(Child<QLabel>("lblLimiting_0")->text(), QString("Max. Pipe Lenght, ft"));
    QCOMPARE(Child<QGroupBox>("frameLimiting")->title(), QString("Limiting Values (M2=1.0)"));
    QVERIFY(Child<QLabel>("lblGeneral_0")->font().bold());
    const QStringList defaults{"Steam", "18.02", "1.31", "6.0", "0.00015", "70.0"};
    const QStringList names{"txtGas_0",  "txtGas_1",  "txtGas_2",
                            "txtPipe_0", "txtPipe_1", "txtPipe_2"};
    for (int i = 0; i < names.size(); ++i) QCOMPARE(Line(names[i])->text(), defaults[i]);
    QCOMPARE(Line("txtInput_2")->text(), QString("600,000"));
    QCOMPARE(Line("txtExit_3")->text(), QString("0.974"));
    const QStringList buttons{"&Load", "&Save", "&Print", "&Calculate", "&About", "&Exit"};
    for (const QString& caption : buttons) {
      auto* b = Child<QPushButton>("cmd" + QString(caption).remove('&'));
      QCOMPARE(b->text(), caption);
      QVERIFY(!b->isDefault());
    }
    QVERIFY(Child<QPushButton>("cmdCalculate")->font().bold());
  }

  // Tab visits the 18 stops in order and wraps; tabbing through rewrites the
  // defaults that are not yet in the input pattern.
  void tabOrderAndRewrittenDefaults() {
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("txtGeneral_0"));
    const QStringList expected{
        "txtGas_0",   "txtGas_1",   "txtGas_2",   "txtPipe_0",  "txtPipe_1", "txtPipe_2",
        "txtInput_0", "txtInput_1", "txtInput_2", "txtInput_3", "txtExit_3", "cmdCalculate",
        "cmdSave",    "cmdLoad",    "cmdPrint",   "cmdAbout",   "cmdExit",   "txtGeneral_0"};
    for (const QString& name : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QTRY_COMPARE(QApplication::focusWidget()->objectName(), name);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("cmdExit"));
    QCOMPARE(Line("txtInput_0")->text(), QString("740."));
    QCOMPARE(Line("txtInput_2")->text(), QString("600,000."));
    QCOMPARE(Line("txtPipe_0")->text(), QString("6."));
    QCOMPARE(Line("txtPipe_2")->text(), QString("70."));
    QCOMPARE(Line("txtPipe_1")->text(), QString("0.00015"));
    QCOMPARE(Line("txtExit_3")->text(), QString("0.974"));
    QVERIFY(messages_.shown.empty());
  }

  void validation_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // empty: refused, text stays as typed
    QTest::newRow("empty") << "txtInput_0"
                           << ""
                           << "";
    QTest::newRow("letter after digits") << "txtInput_1"
                                         << "12a"
                                         << "";
    QTest::newRow("letters") << "txtGas_1"
                             << "abc"
                             << "";
    QTest::newRow("two decimal points") << "txtExit_3"
                                        << "1.2.3"
                                        << "";
    QTest::newRow("grouping inside digits") << "txtPipe_2"
                                            << "1,5"
                                            << "15.";
    QTest::newRow("exponent") << "txtInput_2"
                              << "1e3"
                              << "1,000.";
    QTest::newRow("plus sign") << "txtGas_2"
                               << "+5"
                               << "5.";
    QTest::newRow("blanks around") << "txtInput_3"
                                   << "  42 "
                                   << "42.";
    QTest::newRow("rounds to zero") << "txtPipe_1"
                                    << "0.0000004"
                                    << "0.";
    QTest::newRow("rounds up") << "txtPipe_1"
                               << "0.0000005"
                               << "0.000001";
    QTest::newRow("negative") << "txtPipe_0"
                              << "-70"
                              << "-70.";
    QTest::newRow("already formatted") << "txtInput_2"
                                       << "600,000."
                                       << "600,000.";
    QTest::newRow("gas name not checked") << "txtGas_0"
                                          << "abc1"
                                          << "abc1";
  }

  void validation() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    TypeInto(box, typed);
    QTest::keyClick(Line(box), Qt::Key_Tab);
    if (shown.isEmpty()) {
      QTRY_COMPARE(messages_.shown.size(), std::size_t{1});
      QCOMPARE(messages_.shown[0].title, QString("Korvo Flow"));
      QCOMPARE(messages_.shown[0].text, kRefusal);
      QTRY_VERIFY(Line(box)->hasFocus());
      QCOMPARE(Line(box)->text(), typed);
    } else {
      QTRY_VERIFY(!Line(box)->hasFocus());
      QCOMPARE(Line(box)->text(), shown);
      QVERIFY(messages_.shown.empty());
    }
  }

  // Switching to another window does not leave the box.
  void deactivationDoesNotValidate() {
    TypeInto("txtInput_0", "abc");
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCoreApplication::processEvents();
    QVERIFY(messages_.shown.empty());
    QVERIFY(Line("txtInput_0")->hasFocus());
  }

  // A refused entry blocks every command: the message shows once, the focus
  // goes back to the box and nothing is calculated.
  void refusedEntryBlocksCommand_data() {
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("access key") << false;
    QTest::newRow("mouse click") << true;
  }

  void refusedEntryBlocksCommand() {
    QFETCH(bool, byMouse);
    TypeInto("txtPipe_0", "6 in");
    if (byMouse) {
      QTest::mouseClick(Child<QPushButton>("cmdCalculate"), Qt::LeftButton);
    } else {
      PressAlt(Qt::Key_C);
    }
    QTRY_COMPARE(messages_.shown.size(), std::size_t{1});
    QTRY_VERIFY(Line("txtPipe_0")->hasFocus());
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].text, kRefusal);
    QCOMPARE(Line("txtInput_8")->text(), QString());
    QCOMPARE(Line("txtPipe_0")->text(), QString("6 in"));
  }

  // An access key pressed inside a box checks the box before its command.
  void accessKeyChecksBoxFirst() {
    TypeInto("txtInput_0", "12");
    PressAlt(Qt::Key_A);
    QTRY_VERIFY(window_->Splash() != nullptr);
    QCOMPARE(Line("txtInput_0")->text(), QString("12."));
  }

  void enterKeys() {
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Return);
    Line("txtInput_0")->setFocus();
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Return);
    QVERIFY(Line("txtInput_0")->hasFocus());
    QVERIFY(messages_.shown.empty());
    auto* general = Child<QPlainTextEdit>("txtGeneral_0");
    general->setFocus();
    QTest::keyClicks(general, "a");
    QTest::keyClick(general, Qt::Key_Return);
    QTest::keyClicks(general, "b");
    QCOMPARE(general->toPlainText(), QString("a\nb"));
    auto* about = Child<QPushButton>("cmdAbout");  // Enter presses the focused button
    about->setFocus();
    QTest::keyClick(about, Qt::Key_Return);
    QTRY_VERIFY(window_->Splash() != nullptr);
  }

  void resultBoxIsLockedButCopyable() {
    QLineEdit* result = Line("txtPipe_3");
    QTest::mouseClick(result, Qt::LeftButton);
    QTRY_VERIFY(result->hasFocus());
    QTest::keyClicks(result, "99");
    QCOMPARE(result->text(), QString());
  }

  void calculateDefaultRun() {
    PressAlt(Qt::Key_C);
    QTRY_VERIFY_WITH_TIMEOUT(!Line("txtLimiting_1")->text().isEmpty(), 60000);
    QVERIFY(messages_.shown.empty());
    QCOMPARE(Line("txtInput_8")->text(), QString("0.42082"));
    QCOMPARE(Line("txtPipe_3")->text(), QString("0.014937"));
    for (const QString& text : ResultTexts()) QVERIFY(!text.isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(VisibleTopLevel("frmBusy"), nullptr);
  }

  void calculateEndsWithMessage_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("written");  // results on screen after the message
    QTest::newRow("inlet supersonic")
        << "txtInput_2"
        << "2,000,000"
        << "Initial Mach Number Should be < 1.0. Please Check the Inputs" << 7;
    QTest::newRow("exit passes sonic")
        << "txtPipe_2"
        << "100"
        << "Exit Mach Number Should be <= 1.0. Invalid Results!" << 7;
    QTest::newRow("zero diameter") << "txtPipe_0"
                                   << "0"
                                   << "" << -1;
  }

  // Each end shows one message while the busy window and the hourglass are
  // up and the first results are on screen; all are undone afterwards. A
  // complete run first shows that no result of it survives the failed one.
  void calculateEndsWithMessage() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, written);
    window_->cmdCalculate_Click();
    QVERIFY(!Line("txtExit_0")->text().isEmpty());
    bool busyDuringMessage = false;
    bool hourglassDuringMessage = false;
    QString machDuringMessage;
    messages_.whileShown = [&] {
      busyDuringMessage = VisibleTopLevel("frmBusy") != nullptr;
      hourglassDuringMessage = QApplication::overrideCursor() != nullptr &&
                               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      machDuringMessage = Line("txtInput_8")->text();
    };
    TypeInto(box, typed);
    window_->cmdCalculate_Click();
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].title, QString("Korvo Flow"));
    if (!message.isEmpty()) QCOMPARE(messages_.shown[0].text, message);
    QVERIFY(busyDuringMessage);
    QVERIFY(hourglassDuringMessage);
    if (written == 7) {
      QVERIFY(!machDuringMessage.isEmpty());
      int filled = 0;
      for (const QString& text : ResultTexts()) filled += !text.isEmpty();
      QCOMPARE(filled, written);
      QVERIFY(Line("txtExit_0")->text().isEmpty());
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(VisibleTopLevel("frmBusy"), nullptr);
  }

  void startUpShowsAboutAboveActiveMainWindow() {
    window_.reset();
    window_ = std::make_unique<frmMain>(NumberSymbols{}, messages_);
    window_->Form_Load();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QVERIFY(window_->Splash() != nullptr && window_->Splash()->isVisible());
    QVERIFY(window_->Splash()->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window_->Splash()->isModal(), false);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("txtGeneral_0"));
  }

  void aboutIsSingleAndClosesWithEnterOrEscape_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
  }

  void aboutIsSingleAndClosesWithEnterOrEscape() {
    QFETCH(int, key);
    window_->cmdAbout_Click();
    window_->cmdAbout_Click();
    QCOMPARE(CountTopLevels("frmSplash"), 1);
    QPointer<frmSplash> splash = window_->Splash();
    QVERIFY(QTest::qWaitForWindowActive(splash.data()));
    QTRY_VERIFY(splash->OkButton()->hasFocus());
    QTest::keyClick(splash->OkButton(), Qt::Key(key));
    QTRY_VERIFY(splash.isNull());
  }

  void exitClosesAtOnce() {
    TypeInto("txtInput_0", "741");
    Child<QPushButton>("cmdExit")->click();
    QVERIFY(!window_->isVisible());
    QVERIFY(messages_.shown.empty());
  }

  void localeSymbols() {
    window_ = std::make_unique<frmMain>(NumberSymbols{",", "."}, messages_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(Line("txtInput_2")->text(), QString("600.000"));
    QCOMPARE(Line("txtGas_1")->text(), QString("18,02"));
    TypeInto("txtInput_0", "1.5");
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Tab);
    QTRY_COMPARE(Line("txtInput_0")->text(), QString("15,"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
