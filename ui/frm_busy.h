// The busy window: one green line, "Please wait. Computing...", centred and
// above every other window while a calculation runs. It never takes input.
#pragma once

#include <QWidget>

class QLabel;

class frmBusy : public QWidget {
  Q_OBJECT
 public:
  explicit frmBusy(QWidget* parent = nullptr);

  // Puts the window on top, centres it and paints it before returning, so its
  // text is on screen before the calculation starts.
  void Form_Load();

 private:
  QLabel* lblBusy_;
};
