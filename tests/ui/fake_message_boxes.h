// Message boxes that tests answer: every message is recorded, and a test can
// look at the program while a message is up.
#pragma once

#include <functional>
#include <vector>

#include "ui/message_boxes.h"

class FakeMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    QString title;
    QString text;
  };

  void Information(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({title, text});
    if (whileShown) whileShown();
  }

  std::vector<Shown> shown;
  std::function<void()> whileShown;
};
