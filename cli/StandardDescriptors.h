#pragma once

namespace brindlewick {

// Notes the descriptors the program was started with, then opens /dev/null, write-only, on each
// of 0, 1 and 2 that was closed.
// Call it first in main, before any Qt object exists: a file opened later takes the lowest free
// number, so Qt's own descriptors (its event notifier among them) would otherwise take a closed
// standard descriptor's number, and a result meant for standard output would go into them.
void noteStartDescriptors();

// Whether descriptor `fd` was open when the program started: a /dev/fd/N the user names must be
// one the program was given, not one Qt opened for itself.
bool wasOpenAtStart(int fd);

}  // namespace brindlewick
