// A calculation host that records what the calculation shows.
#pragma once

#include <string>
#include <vector>

#include "calc/calc_host.h"

class RecordingHost : public CalcHost {
 public:
  explicit RecordingHost(NumberSymbols symbols = {}) : symbols_(std::move(symbols)) {}
  void BeginBusy() override {
    ++busyDepth;
    ++busyCount;
  }
  void EndBusy() override { --busyDepth; }
  void Repaint() override { ++repaints; }
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    busyWhileMessage = busyWhileMessage && busyDepth == 1;
  }
  const NumberSymbols& Symbols() const override { return symbols_; }

  int busyDepth = 0;
  int busyCount = 0;
  int repaints = 0;
  bool busyWhileMessage = true;
  std::vector<std::string> messages;

 private:
  NumberSymbols symbols_;
};
