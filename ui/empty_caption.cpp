#include "ui/empty_caption.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const auto cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  xcb_atom_t atom = XCB_ATOM_NONE;
  if (reply != nullptr) atom = reply->atom;
  std::free(reply);
  return atom;
}

// Empties the names an X11 window manager shows: the UTF-8 one of current
// managers and the Latin-1 one of older ones.
void EmptyX11Names(QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t utf8Name = Atom(connection, "_NET_WM_NAME");
  const xcb_atom_t utf8String = Atom(connection, "UTF8_STRING");
  if (utf8Name != XCB_ATOM_NONE && utf8String != XCB_ATOM_NONE) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, utf8Name, utf8String, 8, 0, "");
  }
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      0, "");
  xcb_flush(connection);
}

// Qt sets the title when it creates the native window, before the window is
// shown; the names are emptied after it, before the window is mapped.
class CaptionKeeper : public QObject {
 public:
  explicit CaptionKeeper(QWidget& window) : QObject(&window), window_(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ &&
        (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange)) {
      EmptyX11Names(window_);
    }
    return false;
  }

 private:
  QWidget& window_;
};

}  // namespace

void KeepCaptionEmpty(QWidget& window) {
  window.setWindowTitle(QString());
  window.installEventFilter(new CaptionKeeper(window));
}
