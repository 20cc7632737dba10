// The About window: what the program computes, the logo and the version. It
// is not modal and stays above every window until OK (or Enter, or Esc).
#pragma once

#include <QDialog>

class QPushButton;

class frmSplash : public QDialog {
  Q_OBJECT
 public:
  explicit frmSplash(QWidget* parent = nullptr);

  QPushButton* OkButton() const { return cmdOK_; }

 protected:
  bool event(QEvent* event) override;

 private:
  void AddLabel(const char* name, const QString& text, const QRect& box, const QFont& font,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

  QWidget* frame1_;
  QPushButton* cmdOK_;
};
