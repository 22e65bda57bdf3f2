// The template engine either renders a template, with the same result as a plain reference
// reading of the syntax, or fails with a description that names the line and column of a brace
// inside the template. The input is the template as UTF-8, optionally preceded by a template name.
#include <fuzzer/FuzzedDataProvider.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "BraceTemplateEngine.h"
#include "ErrorInfo.h"
#include "Fields.h"
#include "FuzzCheck.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// Distinct values that hold a placeholder and an argument marker of their own, so that a value
// read again as template text or formatted again would show, and every character a format
// escapes.
QStringList sampleValues() {
    QStringList values;
    for (int i = 0; i < kFieldCount; ++i) {
        values.append(u'<' + QString::number(i) +
                      QStringLiteral(" {0} %1 & \" ' \\ /\t\r\n\u00E9 \u4E2D \U0001F600>"));
    }
    return values;
}

// The value as the format named `format` inserts it, written here with Qt's own escaping rather
// than the engine's; nothing for a name that is no format.
std::optional<QString> referenceFormat(const QString& value, QStringView format) {
    if (format == u"xml") {
        return value.toHtmlEscaped()
            .replace(u'\'', QStringLiteral("&apos;"))
            .replace(u'\t', QStringLiteral("&#9;"))
            .replace(u'\n', QStringLiteral("&#10;"))
            .replace(u'\r', QStringLiteral("&#13;"));
    }
    if (format == u"json") {
        const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(array.sliced(2, array.size() - 4));
    }
    if (format == u"url") {
        return TzStrMan_UrlEncode(value);
    }
    return std::nullopt;
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// {{ and }} are literal braces, {N} with N from 0 to 11 inserts value N and {N:format} inserts it
// in that format, which ends at the first '}' on its line; any other brace is an error (no
// result).
std::optional<QString> referenceRender(const QString& text, const QStringList& values) {
    static const QRegularExpression lineBreakOrOpen(QStringLiteral("[\\r\\n{]"));
    QString rendered;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool brace = c == u'{' || c == u'}';
        if (brace && i + 1 < text.size() && text[i + 1] == c) {
            rendered += c;
            ++i;
        } else if (c == u'{') {
            qsizetype end = i + 1;
            while (end < text.size() && isDigit(text[end])) {
                ++end;
            }
            bool isNumber = false;
            const int index = text.mid(i + 1, end - i - 1).toInt(&isNumber);
            const qsizetype numberEnd = end;
            if (end < text.size() && text[end] == u':') {
                end = text.indexOf(u'}', end);
                const qsizetype lineEnd = text.indexOf(lineBreakOrOpen, numberEnd);
                if (lineEnd >= 0 && lineEnd < end) {
                    end = -1;
                }
            }
            if (!isNumber || end < 0 || end == text.size() || text[end] != u'}' ||
                index >= kFieldCount) {
                return std::nullopt;
            }
            if (end == numberEnd) {
                rendered += values[index];
            } else {
                const std::optional<QString> formatted =
                    referenceFormat(values[index], text.sliced(numberEnd + 1, end - numberEnd - 1));
                if (!formatted) {
                    return std::nullopt;
                }
                rendered += *formatted;
            }
            i = end;
        } else if (c == u'}') {
            return std::nullopt;
        } else {
            rendered += c;
        }
    }
    return rendered;
}

void checkError(const ComponentError& error, const QString& text, const QString& name) {
    const ErrorInfo& info = error.info();
    require(info.number == static_cast<int>(ErrorNumber::TemplateSyntax), "a syntax error number",
            info.description);
    const QString prefix = name.isEmpty()
                               ? QStringLiteral("Template error at line ")
                               : QStringLiteral("Template error in %1 at line ").arg(name);
    require(info.description.startsWith(prefix), "the description starts as documented",
            info.description);
    static const QRegularExpression where(QStringLiteral("^(\\d+), column (\\d+): \\S"));
    const QRegularExpressionMatch match =
        where.match(QStringView(info.description).sliced(prefix.size()));
    require(match.hasMatch(), "the description names a line and a column and the problem",
            info.description);

    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    const qsizetype line = match.captured(1).toLongLong();
    const qsizetype column = match.captured(2).toLongLong();
    require(line >= 1 && line <= lines.size(), "the line lies inside the template",
            info.description);
    const QString& lineText = lines[line - 1];
    require(column >= 1 && column <= lineText.size(), "the column lies inside the line",
            info.description);
    const QChar at = lineText[column - 1];
    require(at == u'{' || at == u'}', "the error stands at a brace", info.description);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    QString name;
    if (input.ConsumeBool()) {
        name = QString::fromStdString(input.ConsumeRandomLengthString(40));
    }
    QString text = QString::fromStdString(input.ConsumeRemainingBytesAsString());
    const QStringList values = sampleValues();
    const std::optional<QString> expected = referenceRender(text, values);

    BraceTemplateEngine engine(kFieldCount);
    QString templateName = name;
    try {
        engine.LoadTemplate(text, templateName);
    } catch (const ComponentError& error) {
        checkError(error, text, name);
        require(!expected, "the reference finds an error too", text);
        return 0;
    }
    require(expected.has_value(), "the reference renders the template too", text);
    QStringList renderValues = values;
    QString rendered;
    engine.Render(renderValues, rendered);
    require(rendered == *expected, "the template renders as the reference reads it", text);
    return 0;
}
