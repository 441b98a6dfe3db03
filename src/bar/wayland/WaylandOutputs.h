#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bar/BarRect.h"

struct wl_output;
struct wl_registry;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace vantrel {

// The compositor's outputs as the bar needs them: each one's place and size
// in the compositor's layout (from xdg-output where offered, else from its
// mode and scale) and its integer scale. `onChange` is called whenever an
// output has finished announcing a change, and when one goes away.
class WaylandOutputs {
 public:
  explicit WaylandOutputs(std::function<void()> onChange);
  ~WaylandOutputs();
  WaylandOutputs(const WaylandOutputs&) = delete;
  WaylandOutputs& operator=(const WaylandOutputs&) = delete;

  // Binds the output global `name`.
  void Add(wl_registry* registry, std::uint32_t name, std::uint32_t version);
  // Binds the xdg-output manager; outputs then tell their logical place.
  void AddXdgManager(wl_registry* registry, std::uint32_t name, std::uint32_t version);
  // The global `name` went away; false when it was not an output.
  bool Remove(std::uint32_t name);

  bool Empty() const { return outputs_.empty(); }
  // The output the bar docks on (see ChooseOutput); null when there is none.
  wl_output* Choose() const;
  // The rectangle of `output` in the layout; empty when it is gone.
  BarRect RectOf(const wl_output* output) const;
  // The integer scale of `output`: buffer pixels to a logical pixel.
  int ScaleOf(const wl_output* output) const;

 private:
  struct Output;
  friend struct OutputListeners;

  void Track(Output& output);
  const Output* Find(const wl_output* output) const;

  std::function<void()> onChange_;
  zxdg_output_manager_v1* xdgManager_ = nullptr;
  std::vector<std::unique_ptr<Output>> outputs_;
};

}  // namespace vantrel
