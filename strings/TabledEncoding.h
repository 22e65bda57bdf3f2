#pragma once

#include <QtGlobal>

namespace brindlewick {

// The most units one unit of text can give on the tabled path: a character outside the code page
// below U+10000 is three UTF-8 escapes of three units each.
inline constexpr qsizetype kMostUnitsPerUnit = 9;

// The bulk path of EncodeString in modes 1 and 4: every unit except a surrogate is encoded by
// table, each giving the same units as its character rule would. Letters and digits are copied
// in runs. Encodes text[from] up to text[to - 1] and stops early at the first surrogate, which is
// left to the rules (a pair is one character, a lone half is U+FFFD). Writes at `out`, which must
// have room for kMostUnitsPerUnit units per unit plus one (the unit after the last one written
// may be overwritten), and moves `out` past what it wrote. Returns the index of the first unit
// not encoded.
qsizetype encodeTabledUnits(const char16_t* text, qsizetype from, qsizetype to, bool keepUriMarks,
                            char16_t*& out);

}  // namespace brindlewick
