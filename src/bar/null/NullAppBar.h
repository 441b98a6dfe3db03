#pragma once

#include "bar/AppBarService.h"

namespace vantrel {

// No bar service: the bar stands at the edge and reserves nothing.
class NullAppBar final : public AppBarService {
 public:
  void New() override {}
  void SetAutoHideBar(DockEdge, bool) override {}
  void QueryPos(DockEdge, BarRect&) override {}
  void SetPos(DockEdge, BarRect&) override {}
  void Remove() override {}
};

}  // namespace vantrel
