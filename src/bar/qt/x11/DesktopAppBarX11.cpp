#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <sys/socket.h>

#include <cstdio>

#include "bar/null/NullAppBar.h"
#include "bar/qt/DesktopAppBar.h"
#include "bar/x11/EwmhAppBar.h"

namespace vantrel {
namespace {

// The EWMH bar service, plus one thing the window manager may do to the bar
// behind Qt's back: destroy its window (as `xdotool windowclose` does). That
// is a request to close, and the bar closes as it would on Alt-F4.
class X11DesktopAppBar final : public AppBarService, private QAbstractNativeEventFilter {
 public:
  X11DesktopAppBar(std::unique_ptr<EwmhAppBar> ewmh, QWidget& window, xcb_window_t id)
      : ewmh_(std::move(ewmh)), window_(&window), id_(id) {
    qApp->installNativeEventFilter(this);
  }
  ~X11DesktopAppBar() override { qApp->removeNativeEventFilter(this); }

  void New() override { ewmh_->New(); }
  void SetAutoHideBar(DockEdge edge, bool autoHide) override { ewmh_->SetAutoHideBar(edge, autoHide); }
  void QueryPos(DockEdge edge, BarRect& rc) override { ewmh_->QueryPos(edge, rc); }
  void SetPos(DockEdge edge, BarRect& rc) override {
    if (!destroyed_) ewmh_->SetPos(edge, rc);
  }
  // A destroyed window's strut went with it.
  void Remove() override {
    if (!destroyed_) ewmh_->Remove();
  }

 private:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (destroyed_ || type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
    if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window != id_) return false;
    destroyed_ = true;
    if (window_) QMetaObject::invokeMethod(window_, "close", Qt::QueuedConnection);
    return false;
  }

  std::unique_ptr<EwmhAppBar> ewmh_;
  QPointer<QWidget> window_;
  xcb_window_t id_;
  bool destroyed_ = false;
};

// A sample tick sends the whole bar image (about 250 KB on a 1920-pixel
// screen) to the X server. A send buffer that holds a whole frame lets the
// kernel take it at once instead of putting the bar to sleep until the
// server has read the first part.
void LetTheConnectionHoldAFrame(xcb_connection_t* connection) {
  const int bytes = 1 << 20;
  setsockopt(xcb_get_file_descriptor(connection), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

}  // namespace

std::unique_ptr<AppBarService> CreateDesktopAppBar(QWidget& window) {
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
    LetTheConnectionHoldAFrame(x11->connection());
    // The native window exists from here on; it is not mapped yet.
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (auto ewmh = EwmhAppBar::Connect(x11->connection(), 0, id)) {
      return std::make_unique<X11DesktopAppBar>(std::move(ewmh), window, id);
    }
    std::fputs("vantrel: no EWMH window manager; the bar stands at the screen edge but reserves no space\n",
               stderr);
  } else {
    std::fputs("vantrel: not an X11 session; the bar stands at the screen edge but reserves no space\n",
               stderr);
  }
  return std::make_unique<NullAppBar>();
}

}  // namespace vantrel
