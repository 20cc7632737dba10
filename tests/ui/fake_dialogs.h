// File and printer dialogs that tests answer: each call is recorded with the
// file name the dialog started with, and answered from a queue (Cancel when
// the queue is empty).
#pragma once

#include <QPrinter>
#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

#include "ui/common_dialog.h"

class FakeDialogs : public Dialogs {
 public:
  enum class Kind { Open, Save, Printer };
  struct Shown {
    Kind kind;
    QString startName;
  };

  std::optional<QString> OpenFile(QWidget*, const QString& fileName) override {
    return Answer(Kind::Open, fileName);
  }
  std::optional<QString> SaveFile(QWidget*, const QString& fileName) override {
    return Answer(Kind::Save, fileName);
  }
  // Leaves the printer as it is (the system's default, or what the test set).
  std::optional<int> ChoosePrinter(QWidget*, QPrinter&) override {
    shown.push_back({Kind::Printer, {}});
    if (failNext) throw std::runtime_error("dialog failed");
    if (copies.empty()) return std::nullopt;
    const auto answer = copies.front();
    copies.pop_front();
    return answer;
  }

  std::vector<Shown> shown;
  std::deque<std::optional<QString>> paths;
  std::deque<std::optional<int>> copies;
  bool failNext = false;

 private:
  std::optional<QString> Answer(Kind kind, const QString& fileName) {
    shown.push_back({kind, fileName});
    if (failNext) throw std::runtime_error("dialog failed");
    if (paths.empty()) return std::nullopt;
    const auto answer = paths.front();
    paths.pop_front();
    return answer;
  }
};
