#include "KeyboardFocusStyle.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace brindlewick {

namespace {

// Large enough for a style to draw a control's outline, focus marks included.
const QSize kProbeSize(64, 32);

bool hasKeyboardFocus(const QStyleOption* option) {
    return (option->state & QStyle::State_HasFocus) &&
           (option->state & QStyle::State_KeyboardFocusChange);
}

// What `draw` paints for a copy of `option` of the probe size, with or without the focus.
template <typename Option, typename Draw>
QImage probe(const Option& option, bool focused, Draw draw) {
    Option copy = option;
    copy.rect = QRect(QPoint(0, 0), kProbeSize);
    copy.state.setFlag(QStyle::State_HasFocus, focused);
    copy.state.setFlag(QStyle::State_KeyboardFocusChange, focused);
    QImage image(kProbeSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(copy, &painter);
    return image;
}

// Whether `draw` paints a focused control differently from an unfocused one.
template <typename Option, typename Draw>
bool drawsFocus(const Option& option, Draw draw) {
    return probe(option, true, draw) != probe(option, false, draw);
}

}  // namespace

KeyboardFocusStyle::KeyboardFocusStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void KeyboardFocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element != CE_PushButton || button == nullptr || !hasKeyboardFocus(option)) {
        return;
    }
    if (!buttonShowsFocus_) {
        buttonShowsFocus_ = drawsFocus(*button, [&](const QStyleOptionButton& probed, QPainter* p) {
            baseStyle()->drawControl(CE_PushButton, &probed, p, widget);
        });
    }
    if (!*buttonShowsFocus_) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

void KeyboardFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element == PE_Frame && frame != nullptr &&
        qobject_cast<const QAbstractScrollArea*>(widget)) {
        if (!frameShowsFocus_) {
            frameShowsFocus_ =
                drawsFocus(*frame, [&](const QStyleOptionFrame& probed, QPainter* p) {
                    baseStyle()->drawPrimitive(PE_Frame, &probed, p, widget);
                });
        }
        if (!*frameShowsFocus_) {
            QProxyStyle::drawPrimitive(PE_FrameLineEdit, option, painter, widget);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void showKeyboardFocus(QWidget* window) {
    auto* style = new KeyboardFocusStyle;
    style->setParent(window);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->focusPolicy() & Qt::TabFocus) {
            control->setStyle(style);
        }
    }
}

}  // namespace brindlewick
