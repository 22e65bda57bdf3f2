#pragma once

namespace brindlewick {

// Installs the program's own implementation of every component in the registry and drops every
// shared instance made so far. The entry point calls it once at start; tests call it to undo the
// components they injected.
void installDefaultComponents();

}  // namespace brindlewick
