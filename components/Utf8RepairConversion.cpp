#include "Utf8RepairConversion.h"

#include <QUtf8StringView>
#include <algorithm>

#include "AnsiCodePage.h"

namespace brindlewick {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

bool isAscii(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// The text decoded from its Windows-1252 bytes as UTF-8, when those bytes are UTF-8.
QString repairedUtf8(QString text) {
    if (isAscii(text)) {
        return text;
    }
    QByteArray bytes;
    if (!ansi::encode(text, bytes) || !QUtf8StringView(bytes).isValidUtf8()) {
        return text;
    }
    return QString::fromUtf8(bytes);
}

}  // namespace

void Utf8RepairConversion::ConvertText(QString text, QString& result) {
    QString converted = repairedUtf8(std::move(text));
    if (converted.startsWith(QChar(kByteOrderMark))) {
        converted.remove(0, 1);
    }
    result = std::move(converted);
}

}  // namespace brindlewick
