#pragma once

#include <cstdint>

#include "bar/AppBarService.h"
#include "bar/BarCanvas.h"

struct wl_output;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

namespace vantrel {

// The bar service of a compositor with the layer shell: the bar's surface
// is a layer surface in the top layer, and the compositor reserves its
// strip (the exclusive zone) and places it. The steps map as follows:
//   New     makes the surface a layer surface on the chosen output, unmapped;
//   QueryPos changes nothing: the compositor keeps the strip clear of other
//            bars itself (a second bar stacks inside the first one's zone);
//   SetPos  anchors the surface to the left, the right and the edge, asks for
//           the strip's height across the whole output, reserves that height
//           and commits; the compositor answers with a configure event;
//   Remove  gives the zone back (0) and commits; the surface stays where it
//           is until the host takes it off the screen (Destroy).
class LayerShellAppBar final : public AppBarService {
 public:
  class Events {
   public:
    virtual ~Events() = default;
    // The compositor sized the surface (already acknowledged), in logical pixels.
    virtual void OnConfigure(PixelSize size) = 0;
    // The compositor will not show the surface again.
    virtual void OnClosed() = 0;
  };

  LayerShellAppBar(zwlr_layer_shell_v1* shell, std::uint32_t shellVersion, wl_surface* surface,
                   Events& events);
  ~LayerShellAppBar() override;
  LayerShellAppBar(const LayerShellAppBar&) = delete;
  LayerShellAppBar& operator=(const LayerShellAppBar&) = delete;

  // The output New puts the surface on; null lets the compositor choose.
  void SetOutput(wl_output* output) { output_ = output; }
  wl_output* Output() const { return output_; }
  // True between New and Destroy or the compositor's close.
  bool Exists() const { return layer_ != nullptr && !closed_; }
  // Takes the surface off the screen; a closed surface is destroyed too.
  void Destroy();

  void New() override;
  // A layer surface is never hidden by the compositor.
  void SetAutoHideBar(DockEdge, bool) override {}
  // The compositor keeps the strip clear of other bars itself.
  void QueryPos(DockEdge, BarRect&) override {}
  void SetPos(DockEdge edge, BarRect& rc) override;
  void Remove() override;

 private:
  friend struct LayerListeners;

  zwlr_layer_shell_v1* shell_;
  std::uint32_t shellVersion_;
  wl_surface* surface_;
  Events& events_;
  wl_output* output_ = nullptr;
  zwlr_layer_surface_v1* layer_ = nullptr;
  bool closed_ = false;
};

}  // namespace vantrel
