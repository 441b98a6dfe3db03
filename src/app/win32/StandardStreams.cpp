#include "app/StandardStreams.h"

namespace vantrel {

// A Windows program's standard handles are handles, not the lowest free
// numbers: nothing opened later can take their place.
void OpenStandardStreams() {}

}  // namespace vantrel
