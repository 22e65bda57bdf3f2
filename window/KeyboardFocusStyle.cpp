#include "KeyboardFocusStyle.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QStyleFactory>
#include <QStyleOption>

namespace brindlewick {

namespace {

class KeyboardFocusStyle final : public QProxyStyle {
  public:
    KeyboardFocusStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        const bool keyboardFocus =
            (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange);
        if (element == CE_PushButton && keyboardFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*option);
            focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool textEditFrame = element == PE_Frame && !drawingLineEditFrame_ &&
                                   qstyleoption_cast<const QStyleOptionFrame*>(option) != nullptr &&
                                   qobject_cast<const QAbstractScrollArea*>(widget) != nullptr;
        // A style without a frame of its own for single-line fields (Windows, for one) draws it as
        // PE_Frame through this style again: that one is drawn as it is, or the two would call
        // each other without end.
        if (!textEditFrame) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QScopedValueRollback drawing(drawingLineEditFrame_, true);
        QProxyStyle::drawPrimitive(PE_FrameLineEdit, option, painter, widget);
    }

  private:
    mutable bool drawingLineEditFrame_ = false;
};

}  // namespace

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
