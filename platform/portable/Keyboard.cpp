// No keyboard can be asked from here: the tool runs without a window system
// of its own, so Escape is never down.
#include "platform/Platform.h"

namespace platform {

bool EscapeKeyDown() { return false; }

}  // namespace platform
