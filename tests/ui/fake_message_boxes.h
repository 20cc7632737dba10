// Message boxes that tests answer: every message is recorded, and a test can
// look at the program while a message is up.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "ui/message_boxes.h"

class FakeMessageBoxes : public MessageBoxes {
 public:
  enum class Kind { Information, Exclamation, Question };
  struct Shown {
    QString title;
    QString text;
    Kind kind = Kind::Information;
  };

  void Information(QWidget*, const QString& title, const QString& text) override {
    Record({title, text, Kind::Information});
  }
  void Exclamation(QWidget*, const QString& title, const QString& text) override {
    Record({title, text, Kind::Exclamation});
  }
  // Answers in the order queued; Cancel when none is left.
  Answer AskYesNoCancel(QWidget*, const QString& title, const QString& text) override {
    Record({title, text, Kind::Question});
    if (answers.empty()) return Answer::Cancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<Shown> shown;
  std::deque<Answer> answers;
  std::function<void()> whileShown;

 private:
  void Record(const Shown& message) {
    shown.push_back(message);
    if (whileShown) whileShown();
  }
};
