// What the window tests share: a user who answers the message boxes and
// dialogs, and a main window wired to the real file commands over them.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

#include "ui/common_dialog.h"
#include "ui/file_commands.h"
#include "ui/frm_main.h"
#include "ui/message_boxes.h"

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The lines of a file under tests/data, without its last line end.
inline QStringList Golden(const QString& name) {
  QString text = QString::fromUtf8(ReadAll(KORVO_TEST_DATA_DIR "/" + name));
  text.chop(text.endsWith('\n') ? 1 : 0);
  return text.split('\n');
}

// Records, in order, every message as "<icon> <title>: <text>" (i: none,
// !: exclamation, ?: question) and every dialog as its kind and the file name
// it started with. Answers come from queues; an empty queue answers Cancel.
// The printer dialog leaves the printer as it is.
class FakeUser : public MessageBoxes, public Dialogs {
 public:
  using Path = std::optional<QString>;
  void Information(QWidget*, const QString& title, const QString& text) override {
    Show("i " + title + ": " + text);
  }
  void Exclamation(QWidget*, const QString& title, const QString& text) override {
    Show("! " + title + ": " + text);
  }
  Answer AskYesNoCancel(QWidget*, const QString& title, const QString& text) override {
    Show("? " + title + ": " + text);
    return Next(answers, Answer::Cancel);
  }
  Path OpenFile(QWidget*, const QString& name) override {
    return Next(paths, Dialog("Open " + name));
  }
  Path SaveFile(QWidget*, const QString& name) override {
    return Next(paths, Dialog("Save " + name));
  }
  std::optional<int> ChoosePrinter(QWidget*, QPrinter&) override {
    return Next(copies, Dialog("Printer"));
  }

  QStringList shown;
  std::deque<Answer> answers;
  std::deque<Path> paths;
  std::deque<std::optional<int>> copies;
  bool dialogsFail = false;
  std::function<void()> whileShown;  // lets a test look at the program while a message is up

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, typename std::deque<T>::value_type cancel) {
    if (queue.empty()) return cancel;
    const T answer = queue.front();
    queue.pop_front();
    return answer;
  }
  void Show(const QString& message) {
    shown << message;
    if (whileShown) whileShown();
  }
  // Records a dialog; the answer for Cancel.
  std::nullopt_t Dialog(const QString& call) {
    shown << call;
    if (dialogsFail) throw std::runtime_error("dialog failed");
    return std::nullopt;
  }
};

class WindowFixture {
 protected:
  FakeUser user_;
  std::unique_ptr<FileCommands> commands_;
  std::unique_ptr<frmMain> window_;

  // A fresh, active main window and a fresh user.
  void MakeWindow(const NumberSymbols& symbols = {}) {
    window_.reset();
    user_ = FakeUser();
    commands_ = std::make_unique<FileCommands>(user_, user_, [] { return "stamp"; });
    window_ = std::make_unique<frmMain>(symbols, user_, commands_.get());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  template <typename T = QWidget>
  T* Child(const QString& name, QWidget* root = nullptr) {
    auto* w = (root ? root : window_.get())->findChild<T*>(name);
    if (w == nullptr) qFatal("no widget %s", qPrintable(name));
    return w;
  }
  QLineEdit* Line(const QString& name) { return Child<QLineEdit>(name); }
  QString Text(const QString& name) { return Line(name)->text(); }
  void Click(const QString& button) { Child<QPushButton>(button)->click(); }

  // Types a text into a box that has the focus, replacing what it held.
  void TypeInto(const QString& name, const QString& text) {
    QLineEdit* box = Line(name);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
  }
};
