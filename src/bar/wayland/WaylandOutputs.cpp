#include "bar/wayland/WaylandOutputs.h"

#include <wayland-client.h>

#include <algorithm>

#include "bar/wayland/LayerGeometry.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace vantrel {

struct WaylandOutputs::Output {
  WaylandOutputs* owner = nullptr;
  std::uint32_t name = 0;
  wl_output* output = nullptr;
  zxdg_output_v1* xdg = nullptr;
  OutputPlace place;  // from wl_output.geometry, or xdg-output
  PixelSize mode;     // the current mode, in device pixels
  PixelSize logical;  // from xdg-output; 0 x 0 until it tells
  int transform = WL_OUTPUT_TRANSFORM_NORMAL;
  int scale = 1;
};

// The listeners of the output objects; `data` is the Output.
struct OutputListeners {
  using Output = WaylandOutputs::Output;
  static Output& Of(void* data) { return *static_cast<Output*>(data); }

  static void Geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                       std::int32_t, const char*, const char*, std::int32_t transform) {
    Output& o = Of(data);
    if (o.xdg == nullptr) o.place = {x, y};
    o.transform = transform;
  }
  static void Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                   std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) Of(data).mode = {width, height};
  }
  static void Done(void* data, wl_output*) {
    Output& o = Of(data);
    if (o.owner->onChange_) o.owner->onChange_();
  }
  static void Scale(void* data, wl_output*, std::int32_t factor) { Of(data).scale = std::max(factor, 1); }

  static void XdgPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    Of(data).place = {x, y};
  }
  static void XdgSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    Of(data).logical = {width, height};
  }
  static void XdgDone(void* data, zxdg_output_v1*) { Done(data, nullptr); }
  static void XdgText(void*, zxdg_output_v1*, const char*) {}

  static constexpr zxdg_output_v1_listener kXdgOutput{XdgPosition, XdgSize, XdgDone, XdgText, XdgText};
};

// The events of version 2, the one bound; later ones never come (see
// WaylandSeat.cpp).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr wl_output_listener kOutputListener{.geometry = OutputListeners::Geometry,
                                             .mode = OutputListeners::Mode,
                                             .done = OutputListeners::Done,
                                             .scale = OutputListeners::Scale};
#pragma GCC diagnostic pop

WaylandOutputs::WaylandOutputs(std::function<void()> onChange) : onChange_(std::move(onChange)) {}

WaylandOutputs::~WaylandOutputs() {
  for (const auto& o : outputs_) {
    if (o->xdg != nullptr) zxdg_output_v1_destroy(o->xdg);
    wl_output_destroy(o->output);
  }
  if (xdgManager_ != nullptr) zxdg_output_manager_v1_destroy(xdgManager_);
}

void WaylandOutputs::Add(wl_registry* registry, std::uint32_t name, std::uint32_t version) {
  auto o = std::make_unique<Output>();
  o->owner = this;
  o->name = name;
  // Version 2 brings the scale and the done event.
  o->output =
      static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2u)));
  wl_output_add_listener(o->output, &kOutputListener, o.get());
  Track(*o);
  outputs_.push_back(std::move(o));
}

void WaylandOutputs::AddXdgManager(wl_registry* registry, std::uint32_t name, std::uint32_t version) {
  if (xdgManager_ != nullptr) return;
  xdgManager_ = static_cast<zxdg_output_manager_v1*>(
      wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, std::min(version, 2u)));
  for (const auto& o : outputs_) Track(*o);
}

void WaylandOutputs::Track(Output& output) {
  if (xdgManager_ == nullptr || output.xdg != nullptr) return;
  output.xdg = zxdg_output_manager_v1_get_xdg_output(xdgManager_, output.output);
  zxdg_output_v1_add_listener(output.xdg, &OutputListeners::kXdgOutput, &output);
}

bool WaylandOutputs::Remove(std::uint32_t name) {
  const auto gone =
      std::find_if(outputs_.begin(), outputs_.end(), [name](const auto& o) { return o->name == name; });
  if (gone == outputs_.end()) return false;
  if ((*gone)->xdg != nullptr) zxdg_output_v1_destroy((*gone)->xdg);
  wl_output_destroy((*gone)->output);
  outputs_.erase(gone);
  if (onChange_) onChange_();
  return true;
}

wl_output* WaylandOutputs::Choose() const {
  if (outputs_.empty()) return nullptr;
  std::vector<OutputPlace> places;
  for (const auto& o : outputs_) places.push_back(o->place);
  return outputs_[ChooseOutput(places)]->output;
}

const WaylandOutputs::Output* WaylandOutputs::Find(const wl_output* output) const {
  const auto found =
      std::find_if(outputs_.begin(), outputs_.end(), [output](const auto& o) { return o->output == output; });
  return found == outputs_.end() ? nullptr : found->get();
}

BarRect WaylandOutputs::RectOf(const wl_output* output) const {
  const Output* o = Find(output);
  if (o == nullptr) return {};
  const PixelSize size = o->logical.width > 0 && o->logical.height > 0
                             ? o->logical
                             : LogicalOutputSize(o->mode, o->transform, o->scale);
  return {o->place.x, o->place.y, o->place.x + size.width, o->place.y + size.height};
}

int WaylandOutputs::ScaleOf(const wl_output* output) const {
  const Output* o = Find(output);
  return o == nullptr ? 1 : o->scale;
}

}  // namespace vantrel
