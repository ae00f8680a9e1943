#pragma once

#include <cstddef>

namespace platform {

// For a process that builds its data once and keeps it to its end (a qavo-cli command): memory it frees
// stays in its heap for the next allocation instead of going back to the system, and the heap is grown
// by expectedBytes at once, its pages mapped in one call rather than one page fault at a time (on a
// virtual machine a fault can cost tens of microseconds, and a large tree touches a thousand pages).
// Does nothing where the C library offers no such control.
void prepareHeap(std::size_t expectedBytes);

} // namespace platform
