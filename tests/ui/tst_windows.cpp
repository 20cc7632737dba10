// The small windows and helpers: window placement, the busy and About
// windows, and the locale's number symbols.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "ui/frm_busy.h"
#include "ui/frm_splash.h"
#include "ui/locale_symbols.h"
#include "ui/winapi.h"

class WindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void centeredTopLeft_data() {
    QTest::addColumn<QSizeF>("window");
    QTest::addColumn<QSizeF>("screen");
    QTest::addColumn<QPointF>("corner");
    QTest::newRow("fits") << QSizeF(574, 682) << QSizeF(1280, 1024) << QPointF(353, 171);
    QTest::newRow("half pixel") << QSizeF(575, 683) << QSizeF(1280, 1024) << QPointF(352.5, 170.5);
    QTest::newRow("wider than screen")
        << QSizeF(1000, 100) << QSizeF(800, 600) << QPointF(-100, 250);
    QTest::newRow("taller than screen")
        << QSizeF(100, 700) << QSizeF(800, 600) << QPointF(350, -50);
  }

  void centeredTopLeft() {
    QFETCH(QSizeF, window);
    QFETCH(QSizeF, screen);
    QFETCH(QPointF, corner);
    QCOMPARE(WinAPI::CenteredTopLeft(window, screen), corner);
  }

  void setTopmostShowsWithoutActivating() {
    QWidget active;
    active.show();
    active.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&active));
    QWidget window;
    WinAPI::SetTopmost(window, true);
    QVERIFY(window.isVisible());
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(QApplication::activeWindow(), &active);
    WinAPI::SetTopmost(window, false);
    QVERIFY(window.isVisible());
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
  }

  void busyWindow() {
    frmBusy busy;
    busy.Form_Load();
    QVERIFY(busy.isVisible());
    QVERIFY(busy.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(busy.size(), QSize(268, 38));
    QCOMPARE(busy.palette().color(QPalette::Window), QColor(0, 192, 0));
    QCOMPARE(busy.findChild<QLabel*>("lblBusy")->text(), QString("Please wait. Computing..."));
    const QRect screen = busy.screen()->geometry();
    QCOMPARE(busy.frameGeometry().center().x(), screen.center().x());
  }

  void aboutWindow() {
    frmSplash splash;
    QVERIFY(splash.OkButton()->isDefault());
    QCOMPARE(splash.OkButton()->text(), QString("&OK"));
    QCOMPARE(splash.size(), QSize(666, 606));
    QCOMPARE(splash.findChild<QLabel*>("Label2")->text(),
             QString(" The program also finds the limits of Flow and Length  ( when  M2 =1.0)."));
    QCOMPARE(splash.findChild<QLabel*>("lbl_9")->text(), QString("Version 1.0 Win"));
    QVERIFY(splash.findChild<QWidget*>("Picture1") != nullptr);
  }

  void localeSymbols_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("grouping");
    QTest::newRow("C") << "C"
                       << "."
                       << ",";
    QTest::newRow("en_US") << "en_US"
                           << "."
                           << ",";
    QTest::newRow("de_DE") << "de_DE"
                           << ","
                           << ".";
    QTest::newRow("fr_FR") << "fr_FR"
                           << "," << QString(QChar(0x00A0));
  }

  void localeSymbols() {
    QFETCH(QString, locale);
    QFETCH(QString, decimal);
    QFETCH(QString, grouping);
    const NumberSymbols symbols = SymbolsOf(QLocale(locale));
    QCOMPARE(QString::fromStdString(symbols.decimal), decimal);
    QCOMPARE(QString::fromStdString(symbols.grouping), grouping);
  }

  // The short date with a full year, a space and the long time without its
  // zone.
  void generalDate_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("en_US") << "en_US"
                           << "12/6/2026 8:26:06 AM";
    QTest::newRow("de_DE") << "de_DE"
                           << "06.12.2026 08:26:06";
    QTest::newRow("C") << "C"
                       << "6 Dec 2026 08:26:06";
  }

  void generalDate() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    const QDateTime moment(QDate(2026, 12, 6), QTime(8, 26, 6), Qt::UTC);
    QCOMPARE(QString::fromStdString(GeneralDateText(QLocale(locale), moment)), text);
  }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
