#include <QGuiApplication>
#include <QWidget>
#include <cstdio>

#include "bar/null/NullAppBar.h"
#include "bar/qt/DesktopAppBar.h"
#include "bar/x11/EwmhAppBar.h"

namespace vantrel {

std::unique_ptr<AppBarService> CreateDesktopAppBar(QWidget& window) {
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
    // The native window exists from here on; it is not mapped yet.
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (auto bar = EwmhAppBar::Connect(x11->connection(), 0, id)) return bar;
    std::fputs("vantrel: no EWMH window manager; the bar stands at the screen edge but reserves no space\n",
               stderr);
  } else {
    std::fputs("vantrel: not an X11 session; the bar stands at the screen edge but reserves no space\n",
               stderr);
  }
  return std::make_unique<NullAppBar>();
}

}  // namespace vantrel
