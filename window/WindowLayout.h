#pragma once

#include <array>

#include "Fields.h"

namespace brindlewick {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 12045;
inline constexpr int kClientHeightTwips = 10725;
inline constexpr auto kWindowTitle = "Generate Linked Project";

enum class ControlKind { Button, TextField, MultiLineTextField, Frame, Label };

// One control of the window. Positions and sizes are in twips from the parent's top-left
// corner; `parent` is null for a control of the window itself.
struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* parent;
    const char* caption;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

// The window's 28 controls in stacking order, front first: of two controls with the same
// parent, the earlier one lies in front.
extern const std::array<ControlSpec, 28> kWindowControls;

// Which control shows a field and which label stands above it as its caption. The captions
// repeat from frame to frame (and the data-source captions name the other project), so the
// field's spoken name says which project and which value it holds. In the order of InputField.
struct FieldControl {
    InputField field;
    const char* control;
    const char* label;
};

extern const std::array<FieldControl, kFieldCount> kFieldControls;

const FieldControl& controlOf(InputField field);

}  // namespace brindlewick
