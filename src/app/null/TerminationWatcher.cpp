#include "app/TerminationWatcher.h"

namespace vantrel {

// Platforms without POSIX signals end the program through its window only.
TerminationWatcher::TerminationWatcher(std::function<void()> onTerminate)
    : onTerminate_(std::move(onTerminate)) {}

TerminationWatcher::~TerminationWatcher() = default;

}  // namespace vantrel
