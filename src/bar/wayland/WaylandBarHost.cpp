#include "bar/wayland/WaylandBarHost.h"

#include <wayland-client.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "bar/linux/BarKeys.h"
#include "bar/linux/UndockedBarSize.h"
#include "bar/wayland/LayerGeometry.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace vantrel {
namespace {

// Logical pixels are sized for this resolution; the canvas's text follows
// the output's scale from there.
constexpr int kLogicalDpi = 96;

}  // namespace

// The registry's listener; `data` is the WaylandBarHost.
struct RegistryListeners {
  static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version) {
    static_cast<WaylandBarHost*>(data)->Global(registry, name, interface, version);
  }
  static void GlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    static_cast<WaylandBarHost*>(data)->GlobalRemove(name);
  }
  static constexpr wl_registry_listener kRegistry{Global, GlobalRemove};
};

std::unique_ptr<WaylandBarHost> WaylandBarHost::Open(EventLoop& loop, std::string& why) {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    why = "no Wayland compositor answers";
    return nullptr;
  }
  std::unique_ptr<WaylandBarHost> host(new WaylandBarHost(display, loop));
  host->registry_ = wl_display_get_registry(display);
  wl_registry_add_listener(host->registry_, &RegistryListeners::kRegistry, host.get());
  // The globals, then what the outputs tell about themselves.
  if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
    why = "the Wayland connection failed";
    return nullptr;
  }
  if (host->layerShell_ == nullptr) {
    why = "the Wayland compositor offers no layer shell (zwlr_layer_shell_v1)";
    return nullptr;
  }
  if (host->compositor_ == nullptr || !host->buffers_ || host->outputs_->Empty()) {
    why = "the Wayland compositor offers no surfaces, shared memory or output";
    return nullptr;
  }
  host->surface_ = wl_compositor_create_surface(host->compositor_);
  host->appBar_.emplace(host->layerShell_, host->layerShellVersion_, host->surface_,
                        static_cast<LayerShellAppBar::Events&>(*host));
  host->appBar_->SetOutput(host->outputs_->Choose());
  const PixelSize size = UndockedBarSize(kLogicalDpi).value_or(kFallbackUndockedSize);
  host->rect_ = {0, 0, size.width, size.height};
  loop.Watch(wl_display_get_fd(display), [raw = host.get()] { raw->Dispatch(); });
  wl_display_flush(display);
  return host;
}

WaylandBarHost::WaylandBarHost(wl_display* display, EventLoop& loop)
    : LoopBarWindow(loop), display_(display) {
  outputs_.emplace([this] { OutputsChanged(); });
}

WaylandBarHost::~WaylandBarHost() {
  loop_.Unwatch(wl_display_get_fd(display_.get()));
  appBar_.reset();
  if (surface_ != nullptr) wl_surface_destroy(surface_);
  seat_.reset();
  buffers_.reset();
  outputs_.reset();
  if (layerShell_ != nullptr) {
    if (layerShellVersion_ >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
      zwlr_layer_shell_v1_destroy(layerShell_);
    } else {
      wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layerShell_));
    }
  }
  if (compositor_ != nullptr) wl_compositor_destroy(compositor_);
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  wl_display_flush(display_.get());
}

void WaylandBarHost::Display::Close::operator()(wl_display* display) const {
  wl_display_disconnect(display);
}

void WaylandBarHost::Global(wl_registry* registry, std::uint32_t name, const char* interface,
                            std::uint32_t version) {
  const std::string_view kind(interface);
  if (kind == wl_compositor_interface.name && compositor_ == nullptr) {
    // Version 4 damages in buffer pixels.
    compositorVersion_ = std::min(version, 4u);
    compositor_ = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, compositorVersion_));
  } else if (kind == wl_shm_interface.name && !buffers_) {
    buffers_.emplace(static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1)));
  } else if (kind == wl_seat_interface.name && !seat_) {
    seat_ = std::make_unique<WaylandSeat>(
        static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 3u))),
        static_cast<WaylandSeat::Events&>(*this));
  } else if (kind == wl_output_interface.name && outputs_) {
    outputs_->Add(registry, name, version);
  } else if (kind == zxdg_output_manager_v1_interface.name && outputs_) {
    outputs_->AddXdgManager(registry, name, version);
  } else if (kind == zwlr_layer_shell_v1_interface.name && layerShell_ == nullptr) {
    layerShellVersion_ = std::min(version, 4u);
    layerShell_ = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, layerShellVersion_));
  }
}

void WaylandBarHost::GlobalRemove(std::uint32_t name) {
  if (outputs_) outputs_->Remove(name);
}

void WaylandBarHost::Attach(BarController& controller, PixelBufferCanvas& canvas) {
  controller_ = &controller;
  canvas_ = &canvas;
  canvas.SetPresenter(this);
  SizeCanvas();
}

void WaylandBarHost::Dispatch() {
  wl_display* display = display_.get();
  if (wl_display_prepare_read(display) == 0) wl_display_read_events(display);
  wl_display_dispatch_pending(display);
  wl_display_flush(display);
  if (wl_display_get_error(display) != 0) {
    // The compositor went away: nothing more can be shown or released, but
    // the settings are kept.
    loop_.Unwatch(wl_display_get_fd(display));
    if (controller_ != nullptr) controller_->SaveOnUnexpectedExit();
    loop_.Quit(1);
  }
}

wl_output* WaylandBarHost::Output() const {
  wl_output* output = appBar_ ? appBar_->Output() : nullptr;
  return output != nullptr ? output : outputs_->Choose();
}

int WaylandBarHost::Scale() const {
  return outputs_->ScaleOf(Output());
}

BarRect WaylandBarHost::DesktopRect() {
  return outputs_->RectOf(Output());
}

void WaylandBarHost::OutputsChanged() {
  // Only what moves the docked bar counts: its output's place, size or scale.
  if (dockedScale_ == 0 || !outputs_) return;
  if (DesktopRect() != dockedDesk_ || Scale() != dockedScale_) NoteDisplayChange();
}

void WaylandBarHost::SizeCanvas() {
  if (canvas_ == nullptr) return;
  const int scale = Scale();
  canvas_->SetFontDpi(kLogicalDpi * scale);
  const PixelSize strip =
      configured_.width > 0 ? configured_ : PixelSize{rect_.Width() - 1, rect_.Height() - 1};
  canvas_->SetClientSize(CanvasSizeFor(strip, scale));
}

void WaylandBarHost::PlaceTopmost(const BarRect& rc) {
  rect_ = rc;
  hidden_ = false;
  dockedDesk_ = DesktopRect();
  dockedScale_ = Scale();
  SizeCanvas();
  wl_display_flush(display_.get());
}

void WaylandBarHost::Hide() {
  hidden_ = true;
  if (appBar_) appBar_->Destroy();
  wl_display_flush(display_.get());
}

void WaylandBarHost::OnConfigure(PixelSize size) {
  if (size.width <= 0 || size.height <= 0) return;
  const bool first = configured_.width == 0;
  const bool resized = !first && size != configured_;
  configured_ = size;
  SizeCanvas();
  if (first) {
    // The surface may show a buffer now.
    Repaint();
  } else if (resized) {
    // The compositor resized the strip by itself (the output changed): the
    // picture is made again at the new size.
    NoteDisplayChange();
  }
}

void WaylandBarHost::OnClosed() {
  // The compositor took the bar away (its output went, say): a close.
  if (controller_ != nullptr) controller_->OnCommand(ID_BAR_CANCEL);
}

void WaylandBarHost::OnRightClick(wl_surface* surface, double x, double y) {
  if (surface == surface_ && controller_ != nullptr) controller_->OnContextMenu(ScreenPointOn(rect_, x, y));
}

void WaylandBarHost::OnKeysym(wl_surface* surface, std::uint32_t keysym) {
  if (surface != surface_ || controller_ == nullptr) return;
  if (const int command = BarCommandForKeysym(keysym)) controller_->OnCommand(command);
}

void WaylandBarHost::Present(const SurfaceView& surface, const PixelRect& area) {
  if (hidden_ || !appBar_ || !appBar_->Exists() || configured_.width == 0 || surface.pixels == nullptr)
    return;
  const PixelSize shown = ShownPartOf({surface.width, surface.height});
  ShmBuffers::Lease lease;
  if (!buffers_->Acquire(shown, lease)) return;
  // A buffer that missed earlier frames takes the whole picture.
  const PixelRect copy =
      lease.current ? PixelRect{std::max(area.left, 0), std::max(area.top, 0),
                                std::min(area.right, shown.width), std::min(area.bottom, shown.height)}
                    : PixelRect{0, 0, shown.width, shown.height};
  if (copy.right <= copy.left || copy.bottom <= copy.top) return;
  const std::size_t rowBytes = static_cast<std::size_t>(copy.right - copy.left) * 4;
  for (int y = copy.top; y < copy.bottom; ++y) {
    std::memcpy(lease.pixels + static_cast<std::ptrdiff_t>(y) * lease.stride + copy.left,
                surface.Row(y) + copy.left, rowBytes);
  }
  wl_surface* target = surface_;
  // A picture made before a change of scale is shown at the scale it fits.
  const int scale = Scale();
  const int bufferScale = shown.width % scale == 0 && shown.height % scale == 0 ? scale : 1;
  if (bufferScale != bufferScale_ && compositorVersion_ >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) {
    wl_surface_set_buffer_scale(target, bufferScale);
    bufferScale_ = bufferScale;
  }
  wl_surface_attach(target, lease.buffer, 0, 0);
  if (compositorVersion_ >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION) {
    wl_surface_damage_buffer(target, copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top);
  } else {
    wl_surface_damage(target, 0, 0, INT_MAX, INT_MAX);
  }
  wl_surface_commit(target);
  buffers_->Sent(lease.buffer);
  wl_display_flush(display_.get());
}

}  // namespace vantrel
