#include "ui/frm_splash.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/empty_caption.h"
#include "ui/fonts.h"
#include "ui/logo.h"
#include "ui/twips.h"

namespace {

const QString kTitleText = "Korvo Flow (Compressible, Adiabatic with Friction)";
const QString kPurposeText =
    "This program calculates the exit properties of a compressible gas flowing adiabatically "
    "(no heat transfer) in a round, constant diameter pipe of length L with friction. Neither "
    "the initial velocity nor the exit velocity can exceed sonic velocity.";
const QString kMethodText =
    " The program solves the equation of adiabatic flow with friction for the exit Mach "
    "number, M2, and then finds the exit gas properties.";
const QString kLimitsText =
    " The program also finds the limits of Flow and Length  ( when  M2 =1.0).";
const QString kFrictionText =
    "The friction factor, f, is calculated in the fully turbulent region (i.e. independent of "
    "Reynolds no.). To change f, change the pipe roughness.";
const QString kDensityText = " To change the density, change Z.";
const QString kComparisonText =
    " The incompressible pressure drop is also calculated for comparison.";

// The substitute face can run a few pixels wider than the layout allows; the
// right-aligned version line then grows to the left instead of losing a word.
void FitToTextLeftward(QLabel& label) {
  label.setWordWrap(false);
  const int needed = label.sizeHint().width();
  if (needed <= label.width()) return;
  QRect box = label.geometry();
  box.setLeft(box.right() + 1 - needed);
  label.setGeometry(box);
}

}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      frame1_(new QGroupBox(this)),
      cmdOK_(new QPushButton("&OK", frame1_)) {
  setObjectName("frmSplash");
  KeepCaptionEmpty(*this);
  setWindowIcon(LogoIcon());
  setAttribute(Qt::WA_DeleteOnClose);  // unloaded on close, loaded afresh next time
  setModal(false);
  setFixedSize(Px(9990), Px(9090));
  frame1_->setObjectName("Frame1");
  frame1_->setGeometry(TwipRect(0, 240, 9720, 8355));

  const QFont arialLarge = UiFont("Arial", 15.75, true);
  const QFont arial = UiFont("Arial", 12, true);
  const QFont sans = UiFont("MS Sans Serif", 9.75, true);
  AddLabel("lbl_1", kTitleText, TwipRect(375, 780, 7650, 360), arialLarge,
           Qt::AlignHCenter | Qt::AlignTop);
  AddLabel("lbl_2", kPurposeText, TwipRect(195, 1300, 8000, 1150), arial);
  AddLabel("Label1_0", kMethodText, TwipRect(360, 2760, 9255, 495), sans);
  AddLabel("Label2", kLimitsText, TwipRect(360, 3360, 9180, 615), sans);
  AddLabel("Label5", kFrictionText, TwipRect(360, 3720, 8175, 495), sans);
  AddLabel("Label8", kDensityText, TwipRect(360, 4320, 8415, 255), sans);
  AddLabel("Label7", kComparisonText, TwipRect(360, 4680, 8415, 255), sans);
  AddLabel("lbl_9", "Version 1.0 Win", TwipRect(5460, 6015, 1770, 285), arial,
           Qt::AlignRight | Qt::AlignTop);
  FitToTextLeftward(*findChild<QLabel*>("lbl_9"));

  cmdOK_->setObjectName("cmdOK");
  cmdOK_->setGeometry(TwipRect(6000, 5415, 1215, 435));
  cmdOK_->setDefault(true);  // Enter presses OK; Esc does too, through reject()
  connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

  auto* picture = new LogoView(frame1_);
  picture->setObjectName("Picture1");
  picture->setGeometry(TwipRect(360, 5640, 4695, 2340));
}

void frmSplash::AddLabel(const char* name, const QString& text, const QRect& box, const QFont& font,
                         Qt::Alignment alignment) {
  auto* label = new QLabel(text, frame1_);
  label->setObjectName(name);
  label->setFont(font);
  label->setGeometry(box);
  label->setWordWrap(true);
  label->setAlignment(alignment);
}

bool frmSplash::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    raise();
    cmdOK_->setFocus(Qt::ActiveWindowFocusReason);
  }
  return QDialog::event(event);
}
