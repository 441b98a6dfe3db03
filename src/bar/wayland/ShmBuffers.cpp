#include "bar/wayland/ShmBuffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace vantrel {

struct ShmListeners {
  static void Release(void* data, wl_buffer*) { static_cast<ShmBuffers::Slot*>(data)->busy = false; }
  static constexpr wl_buffer_listener kBuffer{Release};
};

ShmBuffers::~ShmBuffers() {
  for (Slot& slot : slots_) Free(slot);
  wl_shm_destroy(shm_);
}

void ShmBuffers::Free(Slot& slot) {
  if (slot.buffer != nullptr) wl_buffer_destroy(slot.buffer);
  if (slot.memory != nullptr) munmap(slot.memory, slot.bytes);
  slot = Slot{};
}

bool ShmBuffers::Make(Slot& slot, PixelSize size) {
  Free(slot);
  const int stride = size.width * 4;
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height);
  const int fd = memfd_create("vantrel-bar", MFD_CLOEXEC);
  if (fd < 0) return false;
  void* memory = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
    memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(bytes));
  slot.buffer = wl_shm_pool_create_buffer(pool, 0, size.width, size.height, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  slot.memory = memory;
  slot.bytes = bytes;
  slot.size = size;
  wl_buffer_add_listener(slot.buffer, &ShmListeners::kBuffer, &slot);
  return true;
}

bool ShmBuffers::Acquire(PixelSize size, Lease& lease) {
  Slot* chosen = nullptr;
  // The buffer with the newest frame needs the least copying.
  for (Slot& slot : slots_) {
    if (!slot.busy && slot.buffer != nullptr && slot.buffer == newest_ && slot.size == size) chosen = &slot;
  }
  for (Slot& slot : slots_) {
    if (chosen == nullptr && !slot.busy) chosen = &slot;
  }
  if (chosen == nullptr) {
    newest_ = nullptr;  // a frame is lost: the next one goes whole
    return false;
  }
  if (chosen->buffer == nullptr || chosen->size != size) {
    if (!Make(*chosen, size)) {
      newest_ = nullptr;
      return false;
    }
  }
  lease.buffer = chosen->buffer;
  lease.pixels = static_cast<std::uint32_t*>(chosen->memory);
  lease.stride = size.width;
  lease.current = chosen->buffer == newest_;
  return true;
}

void ShmBuffers::Sent(wl_buffer* buffer) {
  for (Slot& slot : slots_) {
    if (slot.buffer == buffer) slot.busy = true;
  }
  newest_ = buffer;
}

}  // namespace vantrel
