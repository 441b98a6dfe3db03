#pragma once

#include <memory>

#include "bar/AppBarService.h"

class QWidget;

namespace vantrel {

// The desktop's bar service for `window`, created before the window is
// first shown. Where the desktop offers none (no EWMH window manager,
// Wayland), a service that reserves nothing, after saying so once on stderr.
// Each platform's adapter library defines it.
std::unique_ptr<AppBarService> CreateDesktopAppBar(QWidget& window);

}  // namespace vantrel
