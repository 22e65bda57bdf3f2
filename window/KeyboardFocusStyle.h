#pragma once

class QWidget;

namespace brindlewick {

// Gives every control of `window` that takes the focus by Tab a style, owned by the window, that
// shows when it has the keyboard focus. Fusion, for one, marks a focused button with the outline
// it also gives the default button, so a focused default button looks unfocused, and frames a text
// edit alike with and without the focus. So a button with the keyboard focus gets the style's own
// focus rectangle, and a text edit the style's frame of a single-line field, which shows focus.
void showKeyboardFocus(QWidget* window);

}  // namespace brindlewick
