#include "bar/wayland/LayerShellAppBar.h"

#include <wayland-client.h>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace vantrel {

// The layer surface's listener; `data` is the LayerShellAppBar.
struct LayerListeners {
  static void Configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                        std::uint32_t height) {
    auto& bar = *static_cast<LayerShellAppBar*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    bar.events_.OnConfigure({static_cast<int>(width), static_cast<int>(height)});
  }
  static void Closed(void* data, zwlr_layer_surface_v1*) {
    auto& bar = *static_cast<LayerShellAppBar*>(data);
    bar.closed_ = true;
    bar.events_.OnClosed();
  }
  static constexpr zwlr_layer_surface_v1_listener kLayer{Configure, Closed};
};

LayerShellAppBar::LayerShellAppBar(zwlr_layer_shell_v1* shell, std::uint32_t shellVersion,
                                   wl_surface* surface, Events& events)
    : shell_(shell), shellVersion_(shellVersion), surface_(surface), events_(events) {}

LayerShellAppBar::~LayerShellAppBar() {
  if (layer_ != nullptr) zwlr_layer_surface_v1_destroy(layer_);
}

void LayerShellAppBar::New() {
  if (layer_ != nullptr) return;
  closed_ = false;
  layer_ = zwlr_layer_shell_v1_get_layer_surface(shell_, surface_, output_, ZWLR_LAYER_SHELL_V1_LAYER_TOP,
                                                 "vantrel");
  zwlr_layer_surface_v1_add_listener(layer_, &LayerListeners::kLayer, this);
  // Enter and Esc reach the bar once it is clicked, as a normal window's
  // keys do; compositors before version 4 offer only a keyboard grab, which
  // a bar must not hold.
  if (shellVersion_ >= ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_ON_DEMAND_SINCE_VERSION) {
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer_,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_ON_DEMAND);
  }
}

void LayerShellAppBar::SetPos(DockEdge edge, BarRect& rc) {
  if (!Exists()) return;
  const std::uint32_t side =
      edge == DockEdge::Top ? ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP : ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM;
  zwlr_layer_surface_v1_set_anchor(
      layer_, side | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  const int thickness = rc.Height() > 0 ? rc.Height() : 1;
  zwlr_layer_surface_v1_set_size(layer_, 0, static_cast<std::uint32_t>(thickness));
  zwlr_layer_surface_v1_set_exclusive_zone(layer_, thickness);
  wl_surface_commit(surface_);
}

void LayerShellAppBar::Remove() {
  if (!Exists()) return;
  zwlr_layer_surface_v1_set_exclusive_zone(layer_, 0);
  wl_surface_commit(surface_);
}

void LayerShellAppBar::Destroy() {
  if (layer_ == nullptr) return;
  zwlr_layer_surface_v1_destroy(layer_);
  layer_ = nullptr;
}

}  // namespace vantrel
