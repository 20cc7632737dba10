// The file and printer dialogs of the Load, Save and Print commands.
//
// Dialogs is the platform's side, one modal dialog per call, behind an
// interface so that tests can answer it. CommonDialog is the one dialog
// object of the main window on top of it: it turns every way a dialog can end
// without an answer (Cancel, Esc, the close button, a failure while it is
// prepared or shown) into "no answer", and it keeps the file name between
// uses: a file dialog closed with OK leaves the chosen full path, a cancelled
// one leaves the name as it was.
#pragma once

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The full path chosen, or nothing on Cancel. The dialog starts with
  // `fileName` (a full path or empty).
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& fileName) = 0;
  virtual std::optional<QString> SaveFile(QWidget* parent, const QString& fileName) = 0;
  // Sets `printer` up as chosen and returns the number of copies, or nothing
  // on Cancel.
  virtual std::optional<int> ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

// Qt's own dialogs. Every file is listed, a typed name is used exactly as
// typed (no suffix is added), the save dialog does not ask before replacing a
// file and the open dialog does not insist that the file exists.
class QtDialogs : public Dialogs {
 public:
  std::optional<QString> OpenFile(QWidget* parent, const QString& fileName) override;
  std::optional<QString> SaveFile(QWidget* parent, const QString& fileName) override;
  std::optional<int> ChoosePrinter(QWidget* parent, QPrinter& printer) override;
};

class CommonDialog {
 public:
  explicit CommonDialog(Dialogs& dialogs) : dialogs_(dialogs) {}

  void ClearFileName() { fileName_.clear(); }

  std::optional<QString> ShowOpen(QWidget* parent);
  std::optional<QString> ShowSave(QWidget* parent);
  std::optional<int> ShowPrinter(QWidget* parent, QPrinter& printer);

 private:
  template <typename Show>
  std::optional<QString> ShowFileDialog(Show&& show);

  Dialogs& dialogs_;
  QString fileName_;
};
