#pragma once

#include <cstdlib>
#include <memory>

namespace vantrel {

// An xcb reply, freed when it goes out of scope.
struct XcbFree {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, XcbFree>;

}  // namespace vantrel
