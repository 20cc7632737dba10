#include "ui/frm_busy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>

#include "ui/empty_caption.h"
#include "ui/fonts.h"
#include "ui/twips.h"
#include "ui/winapi.h"

namespace {

// A newly shown window can only be painted once the window system has mapped
// it. The wait is bounded so that a server that never maps it cannot hang the
// calculation; input events stay queued for after it.
void WaitUntilExposed(QWidget& window) {
  QElapsedTimer clock;
  clock.start();
  while (window.windowHandle() != nullptr && !window.windowHandle()->isExposed() &&
         clock.elapsed() < 500) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  }
}

}  // namespace

frmBusy::frmBusy(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowDoesNotAcceptFocus),
      lblBusy_(new QLabel("Please wait. Computing...", this)) {
  setObjectName("frmBusy");
  KeepCaptionEmpty(*this);
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(Px(4020), Px(570));
  QPalette green = palette();
  green.setColor(QPalette::Window, QColor(0, 192, 0));
  green.setColor(QPalette::WindowText, Qt::black);
  setPalette(green);
  setAutoFillBackground(true);
  lblBusy_->setObjectName("lblBusy");
  lblBusy_->setFont(UiFont("MS Sans Serif", 12, true));
  lblBusy_->setGeometry(TwipRect(480, 120, 3045, 300));
}

void frmBusy::Form_Load() {
  WinAPI::SetTopmost(*this, true);
  WinAPI::CenterForm(*this);
  WaitUntilExposed(*this);
  repaint();
}
