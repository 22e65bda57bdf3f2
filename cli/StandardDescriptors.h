#pragma once

namespace brindlewick {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, write-only, and remembers
// which were.
// Call it first in main, before any Qt object exists: a file opened later takes the lowest free
// number, so Qt's own descriptors (its event notifier among them) would otherwise take a closed
// standard descriptor's number, and a result meant for standard output would go into them.
void openClosedStandardDescriptors();

// Notes the descriptors above 2 that the program was started with. Call it right after
// openClosedStandardDescriptors, before any Qt object opens descriptors of its own.
void noteInheritedDescriptors();

// Whether descriptor `fd` was open when the program started: a /dev/fd/N the user names must be
// one the program was given, not one Qt opened for itself.
bool wasOpenAtStart(int fd);

// Whether descriptor `fd` (0, 1 or 2) was closed when the program started.
bool wasClosedAtStart(int fd);

}  // namespace brindlewick
