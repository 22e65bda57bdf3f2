#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace brindlewick::fuzz {

// Ends the run when a property does not hold. libFuzzer takes the abort as a finding and keeps
// the input that caused it.
inline void require(bool holds, const char* property, const QString& detail = QString()) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n%s\n", property, qUtf8Printable(detail));
        std::abort();
    }
}

// A text as its UTF-16 units in hexadecimal, so that a report shows every unit.
inline QString units(const QString& text) {
    QString listed;
    for (const QChar c : text) {
        listed += QString::asprintf("%04X ", c.unicode());
    }
    return listed;
}

// The input's bytes taken two at a time as UTF-16 units (little-endian), so that every unit,
// lone surrogates included, can occur. An odd last byte is dropped.
inline QString utf16Units(const unsigned char* data, size_t size) {
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        text[i] = QChar(static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
    }
    return text;
}

// The characters of Windows-1252 bytes 0x80 to 0x9F, written out here rather than taken from the
// program's own table.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The input's bytes read as Windows-1252, one character per byte.
inline QString cp1252Text(const unsigned char* data, size_t size) {
    QString text;
    for (size_t i = 0; i < size; ++i) {
        const unsigned char byte = data[i];
        text += QChar(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t{byte});
    }
    return text;
}

}  // namespace brindlewick::fuzz
