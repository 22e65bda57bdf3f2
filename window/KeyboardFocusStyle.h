#pragma once

#include <QProxyStyle>
#include <optional>

namespace brindlewick {

// The application's style, made to show which control has the keyboard focus where the style
// itself shows nothing. Fusion, for one, marks a focused button with the outline it also gives
// the default button, so a focused default button looks unfocused, and frames a text edit
// alike with and without the focus. Where the style's own drawing of a focused control differs
// from the unfocused one, it is left alone; otherwise a focused button gets the style's own
// focus rectangle, and a text edit the style's frame of a single-line field, which shows focus.
// The style draws every button alike, and every text edit's frame: whether it shows the focus on
// each is found once, on the first drawing that needs it, and kept.
class KeyboardFocusStyle final : public QProxyStyle {
  public:
    KeyboardFocusStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

  private:
    mutable std::optional<bool> buttonShowsFocus_;
    mutable std::optional<bool> frameShowsFocus_;
};

// Gives every control of `window` that takes the focus by Tab a KeyboardFocusStyle, owned by
// the window.
void showKeyboardFocus(QWidget* window);

}  // namespace brindlewick
