#pragma once

#include <QStringView>

namespace brindlewick {

// Makes sure the output field can take `text` before it is given it: the document copies the
// text and adds a block with its layout for every line, and a failed allocation inside it would
// end the program. The memory that needs is tried as one allocation and given back at once.
// Throws ComponentError (OutOfMemory) with the message for the user when it cannot be had.
void ensureMemoryToShow(QStringView text);

}  // namespace brindlewick
