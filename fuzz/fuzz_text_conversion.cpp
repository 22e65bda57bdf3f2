// The text conversion never makes a text longer, leaves a text without any character of U+0080
// or above as it is, and turns UTF-8 that was read as Windows-1252 back into the text it encodes.
#include <QString>
#include <QUtf8StringView>
#include <cstddef>
#include <cstdint>

#include "EncodingRepairConversion.h"
#include "FuzzCheck.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

QString convert(const QString& text) {
    QString result;
    EncodingRepairConversion().ConvertText(text, result);
    return result;
}

bool isBelow0x80(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

void checkLengthAndAscii(const QString& text) {
    const QString converted = convert(text);
    require(converted.size() <= text.size(), "the text gets no longer", text);
    if (isBelow0x80(text)) {
        require(converted == text, "a text below U+0080 stays as it is", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString asCp1252 = cp1252Text(data, size);
    checkLengthAndAscii(asCp1252);
    checkLengthAndAscii(utf16Units(data, size));

    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (QUtf8StringView(bytes).isValidUtf8()) {
        QString expected = QString::fromUtf8(bytes);
        if (expected.startsWith(QChar(0xFEFF))) {
            expected.remove(0, 1);
        }
        require(convert(asCp1252) == expected, "UTF-8 read as Windows-1252 is repaired", asCp1252);
    }
    return 0;
}
