#pragma once

#include <QFont>

namespace brindlewick {

// The largest font, no larger than `font`, in which a single-line field `fieldHeight` logical
// pixels high shows a whole line: the point size is lowered in half points until it fits.
QFont fontFittingFieldHeight(const QFont& font, int fieldHeight);

}  // namespace brindlewick
