#pragma once

namespace brindlewick {

// Lets the large blocks of a Generate run be reused within the run instead of coming fresh from
// the system each time. Called once at start-up, before anything is allocated in earnest.
void keepLargeBlocksForReuse();

// Gives the memory freed during a run back to the system; called when a run ends.
void releaseFreedMemory();

}  // namespace brindlewick
