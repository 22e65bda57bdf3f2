#include "FieldFont.h"

#include <QLineEdit>

namespace brindlewick {

namespace {
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointSizeStep = 0.5;
}  // namespace

QFont fontFittingFieldHeight(const QFont& font, int fieldHeight) {
    QLineEdit probe;
    QFont fitted = font;
    probe.setFont(fitted);
    while (probe.minimumSizeHint().height() > fieldHeight &&
           fitted.pointSizeF() - kPointSizeStep >= kSmallestPointSize) {
        fitted.setPointSizeF(fitted.pointSizeF() - kPointSizeStep);
        probe.setFont(fitted);
    }
    return fitted;
}

}  // namespace brindlewick
