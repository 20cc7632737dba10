// The windows driven as a user drives them: composition and accessible
// names, tab order, the focus-loss validation, the Calculate ends, About and
// Exit, and the busy window's placement.
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSet>
#include <map>

#include "platform/locale_symbols.h"
#include "ui/command_line.h"
#include "ui/fonts.h"
#include "ui/frm_busy.h"
#include "ui/frm_splash.h"
#include "ui/winapi.h"
#include "ui_fixture.h"

namespace {

const QStringList kRefusal{"i Korvo Flow: Please Enter a Numeric Value"};

QWidget* VisibleTopLevel(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

}  // namespace

class MainWindowTest : public QObject, WindowFixture {
  Q_OBJECT

  QString Focused() { return QApplication::focusWidget()->objectName(); }
  void PressAlt(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }

  static QString Describe(QWidget* w) {
    const QString bold = w->font().bold() ? "bold-" : "";
    if (auto* label = qobject_cast<QLabel*>(w)) return bold + "label|" + label->text();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return bold + "group|" + group->title();
    if (auto* button = qobject_cast<QPushButton*>(w))
      return bold + (button->isDefault() ? "default-" : "") + "button|" + button->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
      return (text->tabChangesFocus() ? "description|" : "tab-taking|") + text->toPlainText();
    auto* box = qobject_cast<QLineEdit*>(w);
    const QPalette colours = box->palette();
    const bool right = box->alignment() & Qt::AlignRight;
    const bool input = !box->isReadOnly() && box->focusPolicy() == Qt::StrongFocus;
    const bool locked = box->isReadOnly() && box->focusPolicy() == Qt::ClickFocus &&
                        colours.color(QPalette::Base) == colours.color(QPalette::Button);
    const QString kind = input ? (right ? "numeric" : "text") : locked && right ? "result" : "odd";
    return kind + '|' + box->text();
  }

  static QString AccessibleName(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
  }

  static QString Outcome(const CommandLine& line) {
    switch (line.action) {
      case CommandLine::Action::kHelp:
        return "help";
      case CommandLine::Action::kVersion:
        return "version";
      case CommandLine::Action::kBadUsage:
        return "refused: " + QString::fromStdString(line.error);
      case CommandLine::Action::kRun:
        break;
    }
    QString run = "run " + QString::fromStdString(line.file.value_or("-"));
    for (const std::string& a : line.toolkitArguments) run += ' ' + QString::fromStdString(a);
    return run;
  }

  int FilledResults() {
    int filled = 0;
    for (const FieldInfo& f : FieldTable())
      filled += f.isResult && !window_->BoxText(f.ref).isEmpty();
    return filled;
  }

 private slots:
  void initTestCase() { RegisterFontSubstitutes(); }
  void init() { MakeWindow(); }
  void cleanup() {
    window_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "frmSplash") delete w;
    }
  }

  // Each captioned control of the three windows against its caption or
  // default text, face and kind; results are locked and out of the tab chain.
  void widgets() {
    QStringList expected, actual;
    frmSplash splash;
    frmBusy busy;
    const std::map<QString, QWidget*> roots{
        {"frmMain", window_.get()}, {"frmSplash", &splash}, {"frmBusy", &busy}};
    for (const QString& line : Golden("ui_widgets.txt")) {
      if (line.startsWith('#')) continue;
      const QStringList path = line.section('|', 0, 0).split('/');
      expected << line;
      actual << path.join('/') + '|' + Describe(Child(path[1], roots.at(path[0])));
    }
    QCOMPARE(actual, expected);
  }

  // What a screen reader announces: a box is named by its caption, a button
  // by its text without the access key's '&'; no two share a name, not even
  // the boxes whose captions repeat.
  void accessibleNames() {
    QSet<QString> names;
    for (const FieldInfo& field : FieldTable()) {
      const QString name = AccessibleName(window_->Box(field.ref));
      QVERIFY2(name.startsWith(QString::fromUtf8(field.caption.data(), field.caption.size())),
               qPrintable(name));
      names.insert(name);
    }
    const auto buttons = window_->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
      QCOMPARE(AccessibleName(button), button->text().remove('&'));
      names.insert(AccessibleName(button));
    }
    QCOMPARE(buttons.size(), 6);
    QCOMPARE(names.size(), static_cast<int>(FieldTable().size()) + 6);
  }

  // Fixed sizes; the busy window comes up green and centred; a window set
  // on top shows without taking the activation.
  void windowFrames() {
    QCOMPARE(window_->windowTitle(), QString("Korvo Fow"));
    QCOMPARE(window_->size(), QSize(574, 682));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(frmSplash().size(), QSize(666, 606));
    QWidget plain;
    WinAPI::SetTopmost(plain, true);
    QVERIFY(plain.isVisible() && (plain.windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(QApplication::activeWindow(), window_.get());
    WinAPI::SetTopmost(plain, false);
    QVERIFY(plain.isVisible() && !(plain.windowFlags() & Qt::WindowStaysOnTopHint));
    frmBusy busy;
    busy.Form_Load();
    QVERIFY(busy.isVisible() && (busy.windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(busy.size(), QSize(268, 38));
    QCOMPARE(busy.palette().color(QPalette::Window), QColor(0, 192, 0));
    QCOMPARE(busy.frameGeometry().center().x(), busy.screen()->availableGeometry().center().x());
    // Centred to the fraction; a window taller than the area keeps its title bar in it.
    QCOMPARE(WinAPI::CenteredTopLeft({575, 900}, {1280, 800}), QPointF(352.5, 0));
  }

  // The report's time stamp: the short date with a full year, a space and
  // the long time without its zone.
  void generalDate() {
    const QDateTime moment(QDate(2026, 12, 6), QTime(8, 26, 6), Qt::UTC);
    const auto text = [&](const char* locale) {
      return QString::fromStdString(GeneralDateText(QLocale(locale), moment));
    };
    QCOMPARE(text("en_US"), QString("12/6/2026 8:26:06 AM"));
    QCOMPARE(text("de_DE"), QString("06.12.2026 08:26:06"));
    QCOMPARE(text("C"), QString("6 Dec 2026 08:26:06"));
  }

  // Tab visits the 18 stops in order and wraps; tabbing through rewrites the
  // defaults that are not yet in the input pattern.
  void tabOrderAndRewrittenDefaults() {
    QTRY_COMPARE(Focused(), QString("txtGeneral_0"));
    const QStringList expected{
        "txtGas_0",   "txtGas_1",   "txtGas_2",   "txtPipe_0",  "txtPipe_1", "txtPipe_2",
        "txtInput_0", "txtInput_1", "txtInput_2", "txtInput_3", "txtExit_3", "cmdCalculate",
        "cmdSave",    "cmdLoad",    "cmdPrint",   "cmdAbout",   "cmdExit",   "txtGeneral_0"};
    for (const QString& name : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QTRY_COMPARE(Focused(), name);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTRY_COMPARE(Focused(), QString("cmdExit"));
    QStringList texts;
    for (const char* name :
         {"txtInput_0", "txtInput_2", "txtPipe_0", "txtPipe_2", "txtPipe_1", "txtExit_3"})
      texts << Line(name)->text();
    QCOMPARE(texts, (QStringList{"740.", "600,000.", "6.", "70.", "0.00015", "0.974"}));
    QVERIFY(user_.shown.empty());
  }

  // Leaving any box, results and text inputs too, with a text that is not a
  // number: exactly the numeric inputs refuse it.
  void onlyNumericInputsRefuse() {
    QStringList refusing;
    QWidget* elsewhere = Child("cmdAbout");
    for (const FieldInfo& field : FieldTable()) {
      auto* line = qobject_cast<QLineEdit*>(window_->Box(field.ref));
      if (line == nullptr) continue;  // the run description
      line->setText("x");
      line->setFocus();
      elsewhere->setFocus();
      QCoreApplication::processEvents();  // a refusal's message waits for the event loop
      if (!user_.shown.isEmpty()) refusing << line->objectName();
      user_.shown.clear();
      line->setText("1");  // so that the next box can be left
    }
    QCOMPARE(refusing,
             (QStringList{"txtGas_1", "txtGas_2", "txtPipe_0", "txtPipe_1", "txtPipe_2",
                          "txtInput_0", "txtInput_1", "txtInput_2", "txtInput_3", "txtExit_3"}));
  }

  // Switching to another window, and into a box there, does not leave the box.
  void deactivationDoesNotValidate() {
    TypeInto("txtInput_0", "abc");
    QWidget other;
    (new QLineEdit(&other))->setFocus();
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCoreApplication::processEvents();
    QVERIFY(user_.shown.empty());
    QVERIFY(Line("txtInput_0")->hasFocus());
  }

  // A refused entry holds the focus and blocks every command: the message
  // shows once, the focus goes back to the box, the text stays as typed and
  // nothing is calculated.
  void refusedEntry_data() {
    QTest::addColumn<QString>("leaving");
    QTest::newRow("tab") << "tab";
    QTest::newRow("access key") << "access key";
    QTest::newRow("mouse click") << "mouse click";
  }

  void refusedEntry() {
    QFETCH(QString, leaving);
    TypeInto("txtPipe_0", "6 in");
    if (leaving == "tab") {
      QTest::keyClick(Line("txtPipe_0"), Qt::Key_Tab);
    } else if (leaving == "access key") {
      PressAlt(Qt::Key_C);
    } else {
      QTest::mouseClick(Child<QPushButton>("cmdCalculate"), Qt::LeftButton);
    }
    QTRY_COMPARE(user_.shown, kRefusal);
    QTRY_VERIFY(Line("txtPipe_0")->hasFocus());
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCOMPARE(user_.shown, kRefusal);
    QCOMPARE(Text("txtInput_8"), QString());
    QCOMPARE(Text("txtPipe_0"), QString("6 in"));
  }

  // An access key pressed inside a box checks the box before its command,
  // and the focus moves onto the button, as with a click.
  void accessKeyChecksBoxFirst() {
    TypeInto("txtInput_0", "12");
    PressAlt(Qt::Key_A);
    QTRY_VERIFY(window_->Splash() != nullptr);
    QCOMPARE(Text("txtInput_0"), QString("12."));
    QCOMPARE(window_->focusWidget()->objectName(), QString("cmdAbout"));
  }

  // An Alt+key that is no access key types nothing, in a line box or the run
  // description, with Shift too. AltGr types its character, reported as on
  // X11 (no Alt) or on Windows (Ctrl+Alt); the access keys are checked by
  // the cases above.
  void altKeysTypeNothing() {
    const auto typeKeys = [](QWidget* box) {
      QTest::keyClicks(box, "N");
      QTest::keyClick(box, Qt::Key_Q, Qt::AltModifier);
      QTest::keyClick(box, Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier);
      QTest::keyClick(box, Qt::Key_1, Qt::AltModifier);
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Q, "@", Qt::GroupSwitchModifier);
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_E, "\u20ac",
                          Qt::ControlModifier | Qt::AltModifier);
    };
    TypeInto("txtGas_0", "");
    typeKeys(Line("txtGas_0"));
    auto* general = Child<QPlainTextEdit>("txtGeneral_0");
    general->setFocus();
    typeKeys(general);
    QCOMPARE(Text("txtGas_0"), QString("N@\u20ac"));
    QCOMPARE(general->toPlainText(), QString("N@\u20ac"));
    QVERIFY(user_.shown.empty());
  }

  // The command line read before the toolkit starts: the one run file, the
  // toolkit's options kept for it, and the refusals.
  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("outcome");
    // clang-format off
    QTest::newRow("file") << QStringList{"a.run"} << "run a.run korvoflow";
    QTest::newRow("toolkit options")
        << QStringList{"-platform", "xcb", "--reverse", "-style=fusion", "a.run"}
        << "run a.run korvoflow -platform xcb --reverse -style=fusion";
    QTest::newRow("no file") << QStringList{} << "run - korvoflow";
    QTest::newRow("dash file after --") << QStringList{"--", "-reverse"}
        << "run -reverse korvoflow";
    QTest::newRow("help wins over a file") << QStringList{"a.run", "--help"} << "help";
    QTest::newRow("two files") << QStringList{"a.run", "b.run"}
        << "refused: one run file at most, 2 were given";
    QTest::newRow("value missing") << QStringList{"a.run", "-display"}
        << "refused: option '-display' needs a value";
    // clang-format on
  }

  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, outcome);
    std::vector<std::string> argv{"korvoflow"};
    for (const QString& a : arguments) argv.push_back(a.toStdString());
    QCOMPARE(Outcome(ParseCommandLine(argv)), outcome);
  }

  // Enter: nothing in a line box, a new line in the run description, a press
  // on a focused button. Exit closes at once, the edited run notwithstanding.
  void keys() {
    Line("txtInput_0")->setFocus();
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Return);
    QVERIFY(Line("txtInput_0")->hasFocus());
    QVERIFY(user_.shown.empty());
    auto* general = Child<QPlainTextEdit>("txtGeneral_0");
    general->setFocus();
    QTest::keyClicks(general, "a");
    QTest::keyClick(general, Qt::Key_Return);
    QTest::keyClicks(general, "b");
    QCOMPARE(general->toPlainText(), QString("a\nb"));
    auto* exit = Child<QPushButton>("cmdExit");
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Return);
    QVERIFY(!window_->isVisible());
    QVERIFY(user_.shown.empty());
  }

  // A description holding one overlong word wraps anywhere (word wrapping
  // would lay it out in quadratic time); ordinary texts wrap at words.
  void longDescriptionWrapsAnywhere() {
    auto* general = Child<QPlainTextEdit>("txtGeneral_0");
    const auto wrapFor = [&](const QString& text) {
      general->setPlainText(text);
      return general->wordWrapMode();
    };
    QCOMPARE(wrapFor(QString(1001, 'x')), QTextOption::WrapAnywhere);
    QCOMPARE(wrapFor(QString("word ").repeated(1000)), QTextOption::WrapAtWordBoundaryOrAnywhere);
  }

  void calculate_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("written");  // results on screen while the message is up
    // clang-format off
    QTest::newRow("inlet supersonic") << "txtInput_2" << "2,000,000"
        << "Initial Mach Number Should be < 1.0. Please Check the Inputs" << 7;
    QTest::newRow("zero diameter") << "txtPipe_0" << "0"
        << "Pipe Diameter, in. Should be > 0. Please Check the Inputs" << 0;
    QTest::newRow("exit flow overflows") << "txtExit_3" << "1e306"
        << "Flow Rate, lb/hr (Exit Properties) Could Not be Computed. Please Check the Inputs" << 9;
    // clang-format on
  }

  // A complete run by Alt+C first, then the run under test. Each end shows
  // one message while the busy window and the hourglass are up and the first
  // results are on screen, and no result of the complete run survives; busy
  // window and hourglass are undone on every path.
  void calculate() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, written);
    PressAlt(Qt::Key_C);
    QTRY_VERIFY_WITH_TIMEOUT(!Text("txtLimiting_1").isEmpty(), 60000);
    QCOMPARE(Text("txtInput_8"), QString("0.42082"));
    QCOMPARE(Text("txtPipe_3"), QString("0.014937"));
    QCOMPARE(FilledResults(), 23);
    QVERIFY(user_.shown.empty());
    QStringList during;
    user_.whileShown = [&] {
      const QCursor* cursor = QApplication::overrideCursor();
      const bool busy = VisibleTopLevel("frmBusy") && cursor && cursor->shape() == Qt::WaitCursor;
      during << user_.shown.back() << QString::number(FilledResults()) << (busy ? "busy" : "idle");
    };
    TypeInto(box, typed);
    window_->cmdCalculate_Click();
    QCOMPARE(during, (QStringList{"i Korvo Flow: " + message, QString::number(written), "busy"}));
    QCOMPARE(FilledResults(), written);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(VisibleTopLevel("frmBusy"), nullptr);
  }

  // Start-up shows the About window, not modal and on top, above the active
  // main window. About pressed while it is open activates the one window with
  // the focus on OK; Enter and Esc close it.
  void startUpAndAbout() {
    window_ = std::make_unique<frmMain>(NumberSymbols{}, user_);
    window_->Form_Load();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QVERIFY(window_->Splash() != nullptr && window_->Splash()->isVisible());
    QVERIFY(window_->Splash()->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window_->Splash()->isModal(), false);
    QTRY_COMPARE(Focused(), QString("txtGeneral_0"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
      window_->cmdAbout_Click();
      window_->cmdAbout_Click();
      int count = 0;
      for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == "frmSplash";
      QCOMPARE(count, 1);
      QPointer<frmSplash> splash = window_->Splash();
      QVERIFY(QTest::qWaitForWindowActive(splash.data()));
      QTRY_VERIFY(splash->OkButton()->hasFocus());
      QTest::keyClick(splash->OkButton(), key);
      QTRY_VERIFY(splash.isNull());
    }
  }

  // Defaults and typed numbers in the user's symbols.
  void localeSymbols() {
    MakeWindow({",", "."});
    QCOMPARE(Text("txtInput_2"), QString("600.000"));
    QCOMPARE(Text("txtGas_1"), QString("18,02"));
    TypeInto("txtInput_0", "1.5");
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Tab);
    QTRY_COMPARE(Text("txtInput_0"), QString("15,"));
    // Grouping by a no-break space: a typed blank between digits groups too.
    MakeWindow(SymbolsOf(QLocale(QLocale::French, QLocale::France)));
    TypeInto("txtInput_0", " 1 234,5 ");
    QTest::keyClick(Line("txtInput_0"), Qt::Key_Tab);
    QTRY_COMPARE(Text("txtInput_0"), QString("1\u00a0234,5"));
    QVERIFY(user_.shown.empty());
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
