#include "TabledEncoding.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "AnsiCodePage.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace brindlewick {

namespace {

// Up to three units of output and, in the fourth, how many of them count (0: not tabled). A piece
// is written with one 8-byte store; its fourth unit lands after it and is overwritten next.
using Piece = std::array<char16_t, 4>;

constexpr char16_t hexDigit(unsigned value) {
    return static_cast<char16_t>(value < 10 ? u'0' + value : u'A' + (value - 10));
}

constexpr Piece escapePiece(unsigned byte) {
    return {u'%', hexDigit(byte >> 4), hexDigit(byte & 0xF), 3};
}

constexpr bool isLetterOrDigit(unsigned unit) {
    return (unit >= '0' && unit <= '9') || (unit >= 'A' && unit <= 'Z') ||
           (unit >= 'a' && unit <= 'z');
}

constexpr bool isUriMark(unsigned unit) {
    return unit == '!' || unit == '\'' || unit == '(' || unit == ')' || unit == '*' ||
           unit == '-' || unit == '.' || unit == '_' || unit == '~';
}

// Units 0x80 to 0x9F stand for other bytes of the code page or for none: not tabled.
constexpr bool holdsItsOwnByte(unsigned unit) {
    return unit < 0x80 || unit >= 0xA0;
}

using UnitTable = std::array<Piece, 256>;

// What each unit below U+0100 becomes in a mode: itself, or the escape of its byte.
constexpr UnitTable makeUnitTable(bool keepUriMarks) {
    UnitTable table{};
    for (unsigned unit = 0; unit < table.size(); ++unit) {
        if (!holdsItsOwnByte(unit)) {
            table[unit] = Piece{};
        } else if (isLetterOrDigit(unit) || (keepUriMarks && isUriMark(unit))) {
            table[unit] = {static_cast<char16_t>(unit), 0, 0, 1};
        } else {
            table[unit] = escapePiece(unit);
        }
    }
    return table;
}

constexpr std::array<Piece, 256> makeEscapeTable() {
    std::array<Piece, 256> table{};
    for (unsigned byte = 0; byte < table.size(); ++byte) {
        table[byte] = escapePiece(byte);
    }
    return table;
}

constexpr UnitTable kUrlUnits = makeUnitTable(false);
constexpr UnitTable kUriUnits = makeUnitTable(true);
constexpr std::array<Piece, 256> kEscapes = makeEscapeTable();

char16_t* put(const Piece& piece, char16_t* out) {
    std::memcpy(out, piece.data(), sizeof piece);
    return out + piece[3];
}

// Writes the escape of a byte: three units, and one more that the next piece overwrites.
char16_t* putEscape(unsigned byte, char16_t* out) {
    std::memcpy(out, kEscapes[byte].data(), sizeof(Piece));
    return out + 3;
}

// A unit of U+0080 or above that is not a surrogate: the escape of its code-page byte, or else
// the escapes of its UTF-8 bytes.
[[gnu::always_inline]] inline char16_t* putOtherUnit(char16_t unit, char16_t* out) {
    const int byte = ansi::byteOf(unit);
    if (byte >= 0) {
        return putEscape(static_cast<unsigned>(byte), out);
    }
    if (unit < 0x800) {
        putEscape(0xC0 | (unit >> 6), out);
        return putEscape(0x80 | (unit & 0x3F), out + 3);
    }
    putEscape(0xE0 | (unit >> 12), out);
    putEscape(0x80 | ((unit >> 6) & 0x3F), out + 3);
    return putEscape(0x80 | (unit & 0x3F), out + 6);
}

// The units classified at once: letters and digits among them are copied, the others encoded by
// table.
constexpr qsizetype kBlock = 16;

// Writes the encoding of one unit that is not a letter or digit: its table entry, or its escapes
// when it is above U+00FF or one of 0x80 to 0x9F. Returns false, writing nothing, for a surrogate.
template <const UnitTable& table>
[[gnu::always_inline]] inline bool putUnit(char16_t unit, char16_t*& at) {
    if (unit < table.size() && table[unit][3] != 0) {
        at = put(table[unit], at);
    } else if (QChar::isSurrogate(unit)) {
        return false;
    } else {
        at = putOtherUnit(unit, at);
    }
    return true;
}

#ifdef __SSE2__
// One bit per unit of the sixteen in `low` and `high`, set for the ASCII letters and digits. The
// units are first packed into bytes with saturation: a unit above U+00FF becomes 0xFF and one of
// 0x8000 or above 0, neither of which is a letter or digit.
unsigned letterOrDigitMask(__m128i low, __m128i high) {
    const __m128i bytes = _mm_packus_epi16(low, high);
    // A range in two steps: shifted so that `first` lands on -128, the range's bytes are the only
    // ones below -128 plus its width.
    const auto within = [](__m128i v, int first, int last) {
        const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(-128 - first)));
        return _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(-128 + last - first + 1)), shifted);
    };
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(0x20));  // 'A'-'Z' to 'a'-'z'
    const __m128i kept = _mm_or_si128(within(bytes, '0', '9'), within(folded, 'a', 'z'));
    return static_cast<unsigned>(_mm_movemask_epi8(kept));
}

__m128i load(const char16_t* from) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}

void store(char16_t* to, __m128i units) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), units);
}

// Stores the sixteen units from `from` at `to`: a run of letters and digits of up to sixteen,
// whose later units are overwritten by what follows.
void copyBlock(const char16_t* from, char16_t* to) {
    store(to, load(from));
    store(to + 8, load(from + 8));
}

// Encodes a block of sixteen units that holds other units than letters and digits (`kept` marks
// those): the runs between the others are copied whole. Reads up to sixteen units past the block.
// Returns the number of units encoded: sixteen, or the position of a surrogate.
template <const UnitTable& table>
qsizetype encodeMixedBlock(const char16_t* in, unsigned kept, char16_t*& at) {
    if (kept == 0) {
        for (qsizetype i = 0; i < kBlock; ++i) {
            if (!putUnit<table>(in[i], at)) {
                return i;
            }
        }
        return kBlock;
    }
    qsizetype next = 0;
    for (unsigned others = ~kept & 0xFFFF; others != 0; others &= others - 1) {
        const qsizetype other = std::countr_zero(others);
        copyBlock(in + next, at);
        at += other - next;
        if (!putUnit<table>(in[other], at)) {
            return other;
        }
        next = other + 1;
    }
    copyBlock(in + next, at);
    at += kBlock - next;
    return kBlock;
}

// Whether all sixteen units are ASCII. Packed with unsigned saturation, units from 0x80 to 0x7FFF
// set the top bit of their byte; packed with signed saturation, units from 0x8000 do.
bool isAscii(__m128i low, __m128i high) {
    return (_mm_movemask_epi8(_mm_packus_epi16(low, high)) |
            _mm_movemask_epi8(_mm_packs_epi16(low, high))) == 0;
}

// encodeMixedBlock for a block of ASCII units: every unit has its table entry, so the units
// other than letters and digits need no other check.
template <const UnitTable& table>
void encodeAsciiBlock(const char16_t* in, unsigned kept, char16_t*& at) {
    qsizetype next = 0;
    for (unsigned others = ~kept & 0xFFFF; others != 0; others &= others - 1) {
        const qsizetype other = std::countr_zero(others);
        copyBlock(in + next, at);
        at = put(table[in[other]], at + (other - next));
        next = other + 1;
    }
    copyBlock(in + next, at);
    at += kBlock - next;
}

// Copies pairs of blocks of sixteen units while both hold only letters and digits and the second
// ends at `last` or before. Returns the index of the first unit not copied.
qsizetype copyLetterDigitPairs(const char16_t* text, qsizetype from, qsizetype last,
                               char16_t*& at) {
    qsizetype i = from;
    for (; i + 2 * kBlock <= last; i += 2 * kBlock) {
        const __m128i units[4] = {load(text + i), load(text + i + 8), load(text + i + 16),
                                  load(text + i + 24)};
        if ((letterOrDigitMask(units[0], units[1]) & letterOrDigitMask(units[2], units[3])) !=
            0xFFFF) {
            break;
        }
        for (int k = 0; k < 4; ++k) {
            store(at + 8 * k, units[k]);
        }
        at += 2 * kBlock;
    }
    return i;
}

// Encodes blocks of sixteen units while two blocks are left (a mixed block reads up to one block
// past its end). Returns the index of the first unit left: a surrogate's, or one of the last
// units, for encodeWithTable to take one by one.
template <const UnitTable& table>
qsizetype encodeBlocks(const char16_t* text, qsizetype from, qsizetype to, char16_t*& at) {
    qsizetype i = from;
    while (to - i >= 2 * kBlock) {
        const __m128i low = load(text + i);
        const __m128i high = load(text + i + 8);
        const unsigned kept = letterOrDigitMask(low, high);
        if (kept == 0xFFFF) {
            store(at, low);
            store(at + 8, high);
            at += kBlock;
            // A block of letters and digits often starts a long run of them.
            i = copyLetterDigitPairs(text, i + kBlock, to - 2 * kBlock, at);
            continue;
        }
        if (isAscii(low, high)) {
            encodeAsciiBlock<table>(text + i, kept, at);
        } else if (const qsizetype encoded = encodeMixedBlock<table>(text + i, kept, at);
                   encoded < kBlock) {
            return i + encoded;
        }
        i += kBlock;
    }
    return i;
}
#else
// Without SSE2 every unit is taken one by one.
template <const UnitTable&>
qsizetype encodeBlocks(const char16_t*, qsizetype from, qsizetype, char16_t*&) {
    return from;
}
#endif

// The loop of encodeTabledUnits, made once per table so that the table's address is a constant:
// blocks first, then the units left one by one.
template <const UnitTable& table>
qsizetype encodeWithTable(const char16_t* text, qsizetype from, qsizetype to, char16_t*& out) {
    char16_t* at = out;
    qsizetype i = encodeBlocks<table>(text, from, to, at);
    for (; i < to; ++i) {
        if (!putUnit<table>(text[i], at)) {
            break;
        }
    }
    out = at;
    return i;
}

}  // namespace

qsizetype encodeTabledUnits(const char16_t* text, qsizetype from, qsizetype to, bool keepUriMarks,
                            char16_t*& out) {
    return keepUriMarks ? encodeWithTable<kUriUnits>(text, from, to, out)
                        : encodeWithTable<kUrlUnits>(text, from, to, out);
}

}  // namespace brindlewick
