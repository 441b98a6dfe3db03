#include <cstdio>

#include "bar/null/NullAppBar.h"
#include "bar/qt/DesktopAppBar.h"

namespace vantrel {

std::unique_ptr<AppBarService> CreateDesktopAppBar(QWidget&) {
  std::fputs("vantrel: this desktop offers no way to reserve a screen strip; the bar reserves no space\n",
             stderr);
  return std::make_unique<NullAppBar>();
}

}  // namespace vantrel
