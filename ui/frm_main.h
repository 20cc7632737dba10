// The main window: every field of a run as a labelled box in nine groups, and
// the six command buttons.
//
// Data flow: the boxes are the views of one RunRecord, the window's model.
// Before a command the window copies the box texts into the record;
// CalculateRun works on the record alone and calls back through CalcHost (busy
// window and hourglass, Repaint, messages); Repaint and the end of the command
// copy the record back into the boxes. The window checks typed numbers when
// the focus leaves a box and rewrites them in the input pattern; it never
// computes anything itself.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>

#include "calc/calc_host.h"
#include "calc/run_record.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class FileCommands;
class MessageBoxes;
class frmBusy;
class frmSplash;

class frmMain : public QWidget, public CalcHost {
  Q_OBJECT
 public:
  // The message boxes must outlive the window; commands may be null (the
  // Load, Save and Print buttons then do nothing).
  frmMain(const NumberSymbols& symbols, MessageBoxes& messages, FileCommands* commands = nullptr,
          QWidget* parent = nullptr);
  ~frmMain() override;

  // Start-up: the About window above the centred, shown and active main window.
  void Form_Load();

  // Loads a run file named outside the window (on the command line) as Load
  // does once its file is chosen: no save question, the same message if the
  // file cannot be loaded, and the texts read before a fault kept.
  void OpenRunFile(const std::string& path);

  QWidget* Box(FieldRef ref) const;
  QString BoxText(FieldRef ref) const;
  frmSplash* Splash() const;

  // CalcHost
  void BeginBusy() override;
  void EndBusy() override;
  void Repaint() override;
  void ShowMessage(const std::string& text) override;
  const NumberSymbols& Symbols() const override { return symbols_; }
  // The user waits on a Calculate: a search that no bound can settle walks on
  // every core.
  unsigned SearchThreads() const override;

 public slots:
  void cmdLoad_Click();
  void cmdSave_Click();
  void cmdPrint_Click();
  void cmdCalculate_Click();
  void cmdAbout_Click();
  void cmdExit_Click();

 private:
  void BuildGroups();
  void BuildButtons();
  void SetTabOrder();
  QPushButton* AddButton(const char* name, const QString& caption, int left, int width);

  void RecordToBoxes();
  void BoxesToRecord();
  void SetBoxText(FieldRef ref, const QString& text);
  std::optional<FieldRef> FieldOf(const QWidget* widget) const;

  // Focus-loss validation. Each handler checks only the numeric inputs of its
  // array, as the run record names them, and returns false when it refused
  // the entry.
  void OnFocusChanged(QWidget* old, QWidget* now);
  bool LostFocus(FieldRef ref);
  bool txtGas_LostFocus(int index);
  bool txtPipe_LostFocus(int index);
  bool txtInput_LostFocus(int index);
  bool txtExit_LostFocus(int index);
  bool CheckNumericInput(FieldRef ref);
  bool ValidateNumericBox(FieldRef ref);
  void QueueRefusal();
  void ShowQueuedRefusal();
  void ShowRefusal();
  bool ReadyForCommand();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ShowAbout(bool activate);

  NumberSymbols symbols_;
  MessageBoxes& messages_;
  FileCommands* commands_;
  RunRecord run_;
  std::map<const QWidget*, FieldRef> fieldOfBox_;
  std::map<BoxArray, std::vector<QWidget*>> boxes_;
  std::vector<QPushButton*> buttons_;
  QPointer<frmSplash> splash_;
  QPointer<frmBusy> busy_;
  bool cursorOverridden_ = false;
  bool activeBeforeBusy_ = false;

  // The box whose entry was refused, until it is left with a numeric text.
  std::optional<FieldRef> refused_;
  // Its message is still to be shown (it waits for the input event to end).
  bool refusalQueued_ = false;
  // Where the focus was when a button's access key was pressed.
  QPointer<QWidget> focusAtAccessKey_;
  // Set while the program returns the focus to a refused box: the control the
  // focus passes through has not been left by the user and is not checked.
  bool returningFocus_ = false;
};
