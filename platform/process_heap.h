// The heap of a whole program, set up before it allocates much.
#pragma once

namespace quarry {

// Asks the allocator for large pages for the memory it takes from the system
// from now on (where the program is linked with one that can); a no-op
// otherwise.
void useLargeHeapPages();

} // namespace quarry
