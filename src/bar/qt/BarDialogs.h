#pragma once

#include "settings/BarSettings.h"

class QWidget;

namespace vantrel {

// The modal dialogs the bar opens from its menu.
class BarDialogs {
 public:
  virtual ~BarDialogs() = default;

  // Runs the Options dialog on `settings`; true when the user chose OK.
  virtual bool RunOptions(QWidget* bar, BarSettings& settings) = 0;
  // Shows the About box until the user closes it.
  virtual void RunAbout(QWidget* bar) = 0;
};

}  // namespace vantrel
