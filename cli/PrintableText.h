#pragma once

#include <QString>

namespace brindlewick {

// Text that is safe to print on a terminal in one line: line feeds, carriage returns and tabs
// become \n, \r and \t, every other control character (C0, DEL, C1) \xHH, so that a file name
// cannot move the cursor or change colours. A byte that was not UTF-8 (kept in a command-line
// argument as U+DC80 to U+DCFF) shows as \xHH too, and any other lone surrogate as \uXXXX.
QString printable(const QString& text);

}  // namespace brindlewick
