#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "bar/BarCanvas.h"

struct wl_buffer;
struct wl_shm;

namespace vantrel {

// The wl_shm buffers a layer surface shows, XRGB8888 (the canvas's pixel
// format): two at most, so that a frame can be drawn while the compositor
// still reads the last one. A buffer is made on first use and again when
// the size changes.
class ShmBuffers {
 public:
  // A buffer to draw the next frame into. `current`: it holds the frame
  // before this one, so that only what changed since needs copying;
  // otherwise the whole picture must be copied.
  struct Lease {
    wl_buffer* buffer = nullptr;
    std::uint32_t* pixels = nullptr;
    int stride = 0;  // in pixels
    bool current = false;
  };

  // Takes `shm` over.
  explicit ShmBuffers(wl_shm* shm) : shm_(shm) {}
  ~ShmBuffers();
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;

  // A buffer of `size` pixels that the compositor does not hold; false when
  // both are held or no memory could be had (the frame is then skipped, and
  // the next one is copied whole).
  bool Acquire(PixelSize size, Lease& lease);
  // `buffer` was attached and committed: the compositor holds it until it
  // releases it, and it holds the newest frame.
  void Sent(wl_buffer* buffer);

 private:
  struct Slot {
    wl_buffer* buffer = nullptr;
    void* memory = nullptr;
    std::size_t bytes = 0;
    PixelSize size;
    bool busy = false;
  };
  friend struct ShmListeners;

  bool Make(Slot& slot, PixelSize size);
  static void Free(Slot& slot);

  wl_shm* shm_;
  std::array<Slot, 2> slots_{};
  wl_buffer* newest_ = nullptr;  // the buffer that holds the last frame sent
};

}  // namespace vantrel
