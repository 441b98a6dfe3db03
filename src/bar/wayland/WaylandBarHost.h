#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bar/BarController.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/SurfacePresenter.h"
#include "bar/linux/EventLoop.h"
#include "bar/linux/LoopBarWindow.h"
#include "bar/wayland/LayerShellAppBar.h"
#include "bar/wayland/ShmBuffers.h"
#include "bar/wayland/WaylandOutputs.h"
#include "bar/wayland/WaylandSeat.h"

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;

namespace vantrel {

// The bar on a Wayland compositor with the layer shell, straight over
// libwayland-client: a layer surface docked on one output (LayerShellAppBar),
// its picture in wl_shm buffers copied from the canvas, the right button and
// Enter and Esc from the seat, the compositor's close, and output changes
// (mode, scale, place) that re-dock the bar once each.
//
// Coordinates are the compositor's logical pixels; the canvas draws in buffer
// pixels, the output's integer scale to a logical pixel, and its text is
// sized for 96 dpi times that scale.
class WaylandBarHost final : public LoopBarWindow,
                             public SurfacePresenter,
                             private LayerShellAppBar::Events,
                             private WaylandSeat::Events {
 public:
  // Connects to the compositor named by $WAYLAND_DISPLAY. Null when there is
  // none, or it offers no layer shell; `why` then says which, in a few words.
  static std::unique_ptr<WaylandBarHost> Open(EventLoop& loop, std::string& why);
  ~WaylandBarHost() override;

  WaylandBarHost(const WaylandBarHost&) = delete;
  WaylandBarHost& operator=(const WaylandBarHost&) = delete;

  AppBarService& AppBar() { return *appBar_; }

  // Starts delivering events to `controller` and drawing through `canvas`.
  void Attach(BarController& controller, PixelBufferCanvas& canvas);

  // BarWindow
  BarRect DesktopRect() override;
  void PlaceTopmost(const BarRect& rc) override;
  void Hide() override;

  // SurfacePresenter
  void Present(const SurfaceView& surface, const PixelRect& area) override;

 private:
  friend struct RegistryListeners;

  WaylandBarHost(wl_display* display, EventLoop& loop);
  void Global(wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version);
  void GlobalRemove(std::uint32_t name);
  void Dispatch();
  void OutputsChanged();
  // The output the bar is docked on, or would dock on.
  wl_output* Output() const;
  int Scale() const;
  void SizeCanvas();

  // LayerShellAppBar::Events
  void OnConfigure(PixelSize size) override;
  void OnClosed() override;
  // WaylandSeat::Events
  void OnRightClick(wl_surface* surface, double x, double y) override;
  void OnKeysym(wl_surface* surface, std::uint32_t keysym) override;

  struct Display {
    struct Close {
      void operator()(wl_display* display) const;
    };
  };
  // First, so that it closes after every object made on it is destroyed.
  std::unique_ptr<wl_display, Display::Close> display_;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  std::uint32_t compositorVersion_ = 0;
  zwlr_layer_shell_v1* layerShell_ = nullptr;
  std::uint32_t layerShellVersion_ = 0;
  std::optional<ShmBuffers> buffers_;
  std::unique_ptr<WaylandSeat> seat_;
  std::optional<WaylandOutputs> outputs_;
  wl_surface* surface_ = nullptr;
  std::optional<LayerShellAppBar> appBar_;
  PixelBufferCanvas* canvas_ = nullptr;

  // The surface as the compositor last configured it; 0 x 0 before that.
  PixelSize configured_;
  // The output's rectangle and scale when the bar last docked.
  BarRect dockedDesk_;
  int dockedScale_ = 0;
  int bufferScale_ = 1;
  bool hidden_ = false;
};

}  // namespace vantrel
