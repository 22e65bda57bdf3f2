#pragma once

#include <QString>

namespace brindlewick {

// What `brindlewick --help` prints: both modes, every option and the exit codes.
QString helpText();

// What `brindlewick --version` prints: the program's name and version.
QString versionText();

}  // namespace brindlewick
