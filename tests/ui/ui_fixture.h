// What the window tests share: message boxes and dialogs that a test answers,
// and a main window wired to the real file commands over them.
#pragma once

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
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

// Every message is recorded as "<kind> <title>: <text>" (kind i: no icon,
// !: exclamation, ?: question) and every dialog as its kind and the file name
// it started with. Answers come from queues; an empty queue answers Cancel.
template <typename T>
T Next(std::deque<T>& queue, T cancel) {
  if (queue.empty()) return cancel;
  const T answer = queue.front();
  queue.pop_front();
  return answer;
}

class FakeMessageBoxes : public MessageBoxes {
 public:
  void Information(QWidget*, const QString& title, const QString& text) override {
    Record("i " + title + ": " + text);
  }
  void Exclamation(QWidget*, const QString& title, const QString& text) override {
    Record("! " + title + ": " + text);
  }
  Answer AskYesNoCancel(QWidget*, const QString& title, const QString& text) override {
    Record("? " + title + ": " + text);
    return Next(answers, Answer::Cancel);
  }

  QStringList shown;
  std::deque<Answer> answers;
  std::function<void()> whileShown;  // lets a test look at the program while a message is up

 private:
  void Record(const QString& message) {
    shown << message;
    if (whileShown) whileShown();
  }
};

// The printer dialog leaves the printer as it is (the system's default, or
// what the test set).
class FakeDialogs : public Dialogs {
 public:
  using Path = std::optional<QString>;
  Path OpenFile(QWidget*, const QString& name) override { return Answer("Open " + name); }
  Path SaveFile(QWidget*, const QString& name) override { return Answer("Save " + name); }
  std::optional<int> ChoosePrinter(QWidget*, QPrinter&) override {
    Record("Printer");
    return Next(copies, std::optional<int>());
  }

  QStringList shown;
  std::deque<Path> paths;
  std::deque<std::optional<int>> copies;
  bool failNext = false;

 private:
  Path Answer(const QString& call) {
    Record(call);
    return Next(paths, Path());
  }
  void Record(const QString& call) {
    shown << call;
    if (failNext) throw std::runtime_error("dialog failed");
  }
};

class WindowFixture {
 protected:
  FakeMessageBoxes messages_;
  FakeDialogs dialogs_;
  std::unique_ptr<FileCommands> commands_;
  std::unique_ptr<frmMain> window_;

  // A fresh, active main window with fresh fakes.
  void MakeWindow(const NumberSymbols& symbols = {}) {
    window_.reset();
    messages_ = FakeMessageBoxes();
    dialogs_ = FakeDialogs();
    commands_ = std::make_unique<FileCommands>(messages_, dialogs_, [] { return "stamp"; });
    window_ = std::make_unique<frmMain>(symbols, messages_, commands_.get());
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
