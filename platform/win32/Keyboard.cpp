// The live state of the Escape key, not a key press waiting in a queue: a
// long write-out can be stopped by holding the key down.
#include <windows.h>

#include "platform/Platform.h"

namespace platform {

bool EscapeKeyDown() { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

}  // namespace platform
