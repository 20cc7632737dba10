#include "ui/frm_main.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <thread>
#include <utility>

#include "calc/calculate.h"
#include "ui/description_box.h"
#include "ui/file_commands.h"
#include "ui/fonts.h"
#include "ui/frm_busy.h"
#include "ui/frm_main_layout.h"
#include "ui/frm_splash.h"
#include "ui/logo.h"
#include "ui/message_boxes.h"
#include "ui/twips.h"
#include "ui/winapi.h"

namespace {

using B = BoxArray;

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

QWidget* MakeLineBox(QWidget* group, const FieldInfo& field) {
  auto* box = new QLineEdit(group);
  box->setAlignment(field.isResult || IsNumericInput(field.ref) ? Qt::AlignRight : Qt::AlignLeft);
  if (field.isResult) {
    // Locked: the caret goes in on a click and the text can be selected and
    // copied, but not changed; Tab passes it by.
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette face = box->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    box->setPalette(face);
  }
  return box;
}

// Alt with a letter or another character key: a command key, not text; the
// toolkit would type the character into the box. AltGr still types (@, €):
// X11 reports it without Alt, Windows as Ctrl+Alt.
bool IsAltTyping(const QKeyEvent& key) {
  const auto held = key.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
  return held == Qt::AltModifier && !key.text().isEmpty();
}

}  // namespace

frmMain::frmMain(const NumberSymbols& symbols, MessageBoxes& messages, FileCommands* commands,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      symbols_(symbols),
      messages_(messages),
      commands_(commands),
      run_(DefaultRunRecord(symbols)) {
  setObjectName("frmMain");
  setWindowTitle("Korvo Fow");
  setWindowIcon(LogoIcon());
  setFont(DefaultUiFont());
  setFixedSize(Px(8610), Px(10230));
  BuildGroups();
  BuildButtons();
  SetTabOrder();
  RecordToBoxes();
  boxes_[B::General].front()->setFocus();
  connect(qApp, &QApplication::focusChanged, this, &frmMain::OnFocusChanged);
}

frmMain::~frmMain() {
  // The boxes are destroyed after this body; the focus moving off them must
  // not reach a half-destroyed window.
  disconnect(qApp, &QApplication::focusChanged, this, &frmMain::OnFocusChanged);
  EndBusy();
}

void frmMain::BuildGroups() {
  std::map<BoxArray, QGroupBox*> groups;
  for (const BoxArray array : kBoxArrays) {
    const GroupLayout& g = GroupLayoutOf(array);
    auto* group = new QGroupBox(ToQString(std::string(GroupCaption(array))), this);
    group->setObjectName(g.frame);
    group->setFont(UiFont("MS Sans Serif", 9.75, true));
    group->setGeometry(g.geometry);
    groups[array] = group;
  }
  for (const FieldInfo& field : FieldTable()) {
    const GroupLayout& g = GroupLayoutOf(field.ref.array);
    const FieldLayout& place = FieldLayoutOf(field.ref);
    QGroupBox* group = groups[field.ref.array];
    const QString suffix = QString("_%1").arg(field.ref.index);

    auto* label = new QLabel(ToQString(std::string(field.caption)), group);
    label->setObjectName(g.labelPrefix + suffix);
    label->setFont(DefaultUiFont(field.ref.array == B::General));
    label->setGeometry(place.label);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QWidget* box =
        field.ref.array == B::General ? MakeDescriptionBox(group) : MakeLineBox(group, field);
    box->setObjectName(g.boxPrefix + suffix);
    box->setFont(DefaultUiFont());
    box->setGeometry(place.box);
    // A screen reader announces a box by its accessible name, which must tell
    // the two boxes of a shared caption apart.
    box->setAccessibleName(ToQString(DistinctName(field.ref)));
    label->setBuddy(box);  // the caption has no '&', so no access key appears
    // Drops the character of an Alt+key that is no access key.
    box->installEventFilter(this);
    auto& array = boxes_[field.ref.array];
    array.resize(BoxCount(field.ref.array));
    array.at(static_cast<std::size_t>(field.ref.index)) = box;
    fieldOfBox_[box] = field.ref;
  }
}

QPushButton* frmMain::AddButton(const char* name, const QString& caption, int left, int width) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setGeometry(TwipRect(left, 9720, width, 375));
  // Enter or Space presses the focused button; no button is the window's
  // default, so Enter in a box presses nothing.
  button->setAutoDefault(true);
  button->setDefault(false);
  button->installEventFilter(this);  // notes where the focus was at its access key
  buttons_.push_back(button);
  return button;
}

void frmMain::BuildButtons() {
  auto* load = AddButton("cmdLoad", "&Load", 120, 1155);
  auto* save = AddButton("cmdSave", "&Save", 1560, 1155);
  auto* print = AddButton("cmdPrint", "&Print", 3000, 1155);
  auto* calculate = AddButton("cmdCalculate", "&Calculate", 4560, 975);
  auto* about = AddButton("cmdAbout", "&About", 5880, 1155);
  auto* exit = AddButton("cmdExit", "&Exit", 7320, 1155);
  calculate->setFont(DefaultUiFont(true));
  connect(load, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
  connect(save, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
  connect(print, &QPushButton::clicked, this, &frmMain::cmdPrint_Click);
  connect(calculate, &QPushButton::clicked, this, &frmMain::cmdCalculate_Click);
  connect(about, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
  connect(exit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}

// Inputs in group order, then the buttons as Calculate, Save, Load, Print,
// About, Exit (not their order on screen). The chain is circular, so Tab from
// Exit comes back to the run description.
void frmMain::SetTabOrder() {
  std::vector<QWidget*> order;
  for (const FieldInfo& field : FieldTable()) {
    if (!field.isResult) order.push_back(Box(field.ref));
  }
  for (const char* name :
       {"cmdCalculate", "cmdSave", "cmdLoad", "cmdPrint", "cmdAbout", "cmdExit"}) {
    order.push_back(findChild<QPushButton*>(name));
  }
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

QWidget* frmMain::Box(FieldRef ref) const {
  return boxes_.at(ref.array).at(static_cast<std::size_t>(ref.index));
}

frmSplash* frmMain::Splash() const {
  return splash_;
}

QString frmMain::BoxText(FieldRef ref) const {
  QWidget* box = Box(ref);
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->text();
  return static_cast<DescriptionBox*>(box)->RunText();
}

void frmMain::SetBoxText(FieldRef ref, const QString& text) {
  if (BoxText(ref) == text) return;  // keeps the caret and selection of an unchanged box
  QWidget* box = Box(ref);
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    line->setText(text);
  } else {
    static_cast<DescriptionBox*>(box)->SetRunText(text);
  }
}

void frmMain::RecordToBoxes() {
  for (const FieldInfo& field : FieldTable()) {
    SetBoxText(field.ref, ToQString(Text(run_, field.ref)));
  }
}

void frmMain::BoxesToRecord() {
  for (const FieldInfo& field : FieldTable()) {
    Text(run_, field.ref) = BoxText(field.ref).toStdString();
  }
}

std::optional<FieldRef> frmMain::FieldOf(const QWidget* widget) const {
  const auto it = fieldOfBox_.find(widget);
  if (it == fieldOfBox_.end()) return std::nullopt;
  return it->second;
}

// ---- Focus-loss validation ------------------------------------------------

// Runs when the focus moves from a box to another control of this window; a
// window that merely loses activation (another program, a message box) does
// not leave the box.
void frmMain::OnFocusChanged(QWidget* old, QWidget* now) {
  if (returningFocus_ || old == nullptr || now == nullptr || now->window() != this) return;
  const auto ref = FieldOf(old);
  if (ref && !LostFocus(*ref)) QueueRefusal();
}

bool frmMain::LostFocus(FieldRef ref) {
  switch (ref.array) {
    case B::Gas:
      return txtGas_LostFocus(ref.index);
    case B::Pipe:
      return txtPipe_LostFocus(ref.index);
    case B::Input:
      return txtInput_LostFocus(ref.index);
    case B::Exit:
      return txtExit_LostFocus(ref.index);
    default:
      return true;
  }
}

bool frmMain::txtGas_LostFocus(int index) {
  return CheckNumericInput({B::Gas, index});
}

bool frmMain::txtPipe_LostFocus(int index) {
  return CheckNumericInput({B::Pipe, index});
}

bool frmMain::txtInput_LostFocus(int index) {
  return CheckNumericInput({B::Input, index});
}

bool frmMain::txtExit_LostFocus(int index) {
  return CheckNumericInput({B::Exit, index});
}

// Text inputs and results are never checked.
bool frmMain::CheckNumericInput(FieldRef ref) {
  return IsNumericInput(ref) ? ValidateNumericBox(ref) : true;
}

// A numeric entry is rewritten in the input pattern; anything else is left as
// typed and remembered as refused.
bool frmMain::ValidateNumericBox(FieldRef ref) {
  const auto rewritten = RewrittenInput(BoxText(ref).toStdString(), symbols_);
  if (!rewritten) {
    refused_ = ref;
    return false;
  }
  SetBoxText(ref, ToQString(*rewritten));
  if (refused_ == ref) refused_.reset();
  return true;
}

// The message waits until the input event that moved the focus has been
// handled, so that a mouse press on a button completes into its click, which
// then finds the refusal and shows the message itself instead of its command.
void frmMain::QueueRefusal() {
  refusalQueued_ = true;
  QTimer::singleShot(0, this, &frmMain::ShowQueuedRefusal);
}

void frmMain::ShowQueuedRefusal() {
  if (!refusalQueued_) return;
  if (QGuiApplication::mouseButtons() != Qt::NoButton) {
    QTimer::singleShot(20, this, &frmMain::ShowQueuedRefusal);  // the press is not over yet
    return;
  }
  ShowRefusal();
}

void frmMain::ShowRefusal() {
  refusalQueued_ = false;
  if (!refused_) return;
  const FieldRef ref = *refused_;
  messages_.Information(this, kAppTitle, "Please Enter a Numeric Value");
  returningFocus_ = true;
  Box(ref)->setFocus(Qt::OtherFocusReason);
  returningFocus_ = false;
}

// A command runs only while no box holds a refused entry. A button's access
// key leaves the focus in the box being typed in, so that box is checked here
// first, just as if the focus had left it.
bool frmMain::ReadyForCommand() {
  const QPointer<QWidget> focusAtAccessKey = std::exchange(focusAtAccessKey_, nullptr);
  if (refusalQueued_) {
    ShowRefusal();
    return false;
  }
  if (const auto ref = FieldOf(focusWidget()); ref && !LostFocus(*ref)) {
    ShowRefusal();
    return false;
  }
  if (refused_) return false;
  // A button pressed by its access key takes the focus, as a click does,
  // unless the user has moved the focus since the key (the press is shown
  // for a moment before the command runs).
  auto* button = qobject_cast<QPushButton*>(sender());
  if (button != nullptr && focusAtAccessKey != nullptr && focusWidget() == focusAtAccessKey) {
    button->setFocus(Qt::ShortcutFocusReason);
  }
  return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Shortcut) focusAtAccessKey_ = focusWidget();
  // A key press reaches a box only when no access key took it.
  if (event->type() == QEvent::KeyPress && IsAltTyping(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Commands ---------------------------------------------------------------

void frmMain::cmdLoad_Click() {
  if (!ReadyForCommand() || commands_ == nullptr) return;
  BoxesToRecord();
  commands_->Load(run_, this, [this] { Repaint(); });
  RecordToBoxes();
}

void frmMain::OpenRunFile(const std::string& path) {
  if (commands_ == nullptr) return;
  BoxesToRecord();
  commands_->LoadFile(run_, this, path, [this] { Repaint(); });
  RecordToBoxes();
}

void frmMain::cmdSave_Click() {
  if (!ReadyForCommand() || commands_ == nullptr) return;
  BoxesToRecord();
  commands_->Save(run_, this);
}

void frmMain::cmdPrint_Click() {
  if (!ReadyForCommand() || commands_ == nullptr) return;
  BoxesToRecord();
  commands_->Print(run_, this);
}

void frmMain::cmdCalculate_Click() {
  if (!ReadyForCommand()) return;
  BoxesToRecord();
  try {
    CalculateRun(run_, *this);  // brackets the busy window and hourglass itself
  } catch (const std::exception& error) {
    // Results written so far stay (the message shows them); the run is never
    // left half-shown silently.
    ShowMessage(std::string("The calculation stopped: ") + error.what());
  }
  RecordToBoxes();
}

void frmMain::cmdAbout_Click() {
  if (!ReadyForCommand()) return;
  ShowAbout(true);
}

void frmMain::cmdExit_Click() {
  if (!ReadyForCommand()) return;
  close();
}

void frmMain::ShowAbout(bool activate) {
  if (splash_ == nullptr) {
    splash_ = new frmSplash();  // no owner: it outlives the main window
    splash_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    splash_->show();
    splash_->setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
  splash_->raise();
  if (activate) splash_->activateWindow();
}

void frmMain::Form_Load() {
  WinAPI::CenterForm(*this);
  show();
  ShowAbout(false);  // shown after the main window so it is mapped above it
  activateWindow();
  raise();
  splash_->raise();
}

// ---- CalcHost -----------------------------------------------------------------

void frmMain::BeginBusy() {
  if (busy_ == nullptr) {
    activeBeforeBusy_ = isActiveWindow();
    busy_ = new frmBusy();
    busy_->Form_Load();
  }
  if (!cursorOverridden_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorOverridden_ = true;
  }
}

void frmMain::EndBusy() {
  if (busy_ != nullptr) {
    busy_->close();
    delete busy_;
    // Window systems that activated the busy window hand activation back.
    if (activeBeforeBusy_ && isVisible()) activateWindow();
  }
  if (cursorOverridden_) {
    QApplication::restoreOverrideCursor();
    cursorOverridden_ = false;
  }
}

// The calculation does not return to the event loop, so the boxes are painted
// here and now.
void frmMain::Repaint() {
  RecordToBoxes();
  repaint();
}

unsigned frmMain::SearchThreads() const {
  return std::max(1u, std::thread::hardware_concurrency());
}

void frmMain::ShowMessage(const std::string& text) {
  RecordToBoxes();
  messages_.Information(this, kAppTitle, ToQString(text));
}
