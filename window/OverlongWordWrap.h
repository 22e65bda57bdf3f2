#pragma once

class QPlainTextEdit;

namespace brindlewick {

// Keeps `output` wrapping anywhere while its text holds a word too long to be wrapped at word
// boundaries in reasonable time, and at word boundaries otherwise. Every change of the text (a
// Generate, an edit, a paste, an undo or a redo) is looked at in the lines it touched only, and
// before the field lays them out.
void wrapAnywhereWhileOverlong(QPlainTextEdit* output);

}  // namespace brindlewick
