// What a screen reader announces: every box and button of the main window has
// a name of its own, read through Qt's accessibility interface.
#include <QAccessible>
#include <QSet>

#include "ui_fixture.h"

namespace {

QString AccessibleName(QWidget* widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(QAccessible::Name) : QString();
}

}  // namespace

class AccessibilityTest : public QObject, WindowFixture {
  Q_OBJECT

 private slots:
  void init() { MakeWindow(); }

  // A box is named by its caption, a button by its text without the access
  // key's '&'; no two share a name, not even the boxes whose captions repeat.
  void everyBoxAndButtonHasItsOwnName() {
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
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
