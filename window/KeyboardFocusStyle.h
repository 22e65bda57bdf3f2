#pragma once

#include <QProxyStyle>

namespace brindlewick {

// The application's style, made to show which control has the keyboard focus. Fusion, for one,
// marks a focused button with the outline it also gives the default button, so a focused default
// button looks unfocused, and frames a text edit alike with and without the focus. So a button
// with the keyboard focus gets the style's own focus rectangle, and a text edit the style's frame
// of a single-line field, which shows focus.
class KeyboardFocusStyle final : public QProxyStyle {
  public:
    KeyboardFocusStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

// Gives every control of `window` that takes the focus by Tab a KeyboardFocusStyle, owned by
// the window.
void showKeyboardFocus(QWidget* window);

}  // namespace brindlewick
