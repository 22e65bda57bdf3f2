#include "BraceTemplateEngine.h"

#include <algorithm>
#include <optional>

#include "ErrorInfo.h"
#include "PlaceholderFormats.h"

namespace brindlewick {

namespace {

const QString kSource = QStringLiteral("TemplateEngine");
constexpr qsizetype kLongestQuotedPlaceholder = 16;

struct Placeholder {
    int index = 0;
    PlaceholderFormat format = PlaceholderFormat::AsIs;
};

// Walks a template text: hands each run of literal text (as a position and a length in the text)
// and each placeholder to the caller, in order, and fails with the line and column of the
// first brace that is neither an escape nor a placeholder. An escape gives the first of its two
// braces as a run of its own.
class TemplateParser {
  public:
    TemplateParser(QStringView text, QString name, int valueCount)
        : text_(text), name_(std::move(name)), valueCount_(valueCount) {}

    template <typename OnLiteral, typename OnValue>
    void walk(OnLiteral onLiteral, OnValue onValue) const {
        qsizetype runStart = 0;
        const auto literalUpTo = [&](qsizetype end) {
            if (end > runStart) {
                onLiteral(runStart, end - runStart);
            }
        };
        for (qsizetype i = nextBrace(0); i < text_.size(); i = nextBrace(i + 1)) {
            const QChar c = text_[i];
            if (i + 1 < text_.size() && text_[i + 1] == c) {
                literalUpTo(i + 1);
                runStart = ++i + 1;
                continue;
            }
            if (c == u'}') {
                fail(i, QStringLiteral("'}' closes no placeholder; write }} for a literal }."));
            }
            qsizetype end = 0;
            const Placeholder placeholder = readPlaceholder(i, end);
            literalUpTo(i);
            onValue(placeholder);
            i = end;
            runStart = end + 1;
        }
        literalUpTo(text_.size());
    }

  private:
    // The position of the first '{' or '}' from `from` on, or the text's size.
    qsizetype nextBrace(qsizetype from) const {
        const auto brace = std::find_if(text_.begin() + from, text_.end(),
                                        [](QChar c) { return c == u'{' || c == u'}'; });
        return brace - text_.begin();
    }

    // "{0} to {11}": the placeholders there are.
    QString valueRange() const { return QStringLiteral("{0} to {%1}").arg(valueCount_ - 1); }

    // The placeholder whose '{' stands at `open`; `close` receives the position of its '}'.
    Placeholder readPlaceholder(qsizetype open, qsizetype& close) const {
        qsizetype at = open + 1;
        int value = 0;
        while (at < text_.size() && text_[at] >= u'0' && text_[at] <= u'9') {
            value = std::min(value * 10 + (text_[at].unicode() - u'0'), 1000);
            ++at;
        }
        if (at == open + 1) {
            const bool closed = at < text_.size() && text_[at] == u'}';
            fail(open, closed ? QStringLiteral("{} has no number; use %1.").arg(valueRange())
                              : QStringLiteral("'{' starts no placeholder; write {{ for a "
                                               "literal {, or %1 for a value.")
                                    .arg(valueRange()));
        }
        const bool hasFormat = at < text_.size() && text_[at] == u':';
        const qsizetype formatStart = at + 1;
        if (hasFormat) {
            at = endOfFormat(formatStart);
        }
        if (at == text_.size() || text_[at] != u'}') {
            fail(open,
                 QStringLiteral("the placeholder is not closed; write '}' right after its %1.")
                     .arg(hasFormat ? u"format" : u"number"));
        }
        const QStringView placeholder = text_.sliced(open, at + 1 - open);
        if (value >= valueCount_) {
            fail(open, QStringLiteral("%1 is out of range; use %2.")
                           .arg(quoted(placeholder), valueRange()));
        }
        close = at;
        if (!hasFormat) {
            return {value, PlaceholderFormat::AsIs};
        }
        return {value,
                formatOf(open, placeholder, text_.sliced(formatStart, at - formatStart), value)};
    }

    // Where a format that starts at `from` ends: at the first '}', or where the placeholder
    // cannot go on (a '{', a line break, the end of the text).
    qsizetype endOfFormat(qsizetype from) const {
        while (from < text_.size() && text_[from] != u'}' && text_[from] != u'{' &&
               text_[from] != u'\n' && text_[from] != u'\r') {
            ++from;
        }
        return from;
    }

    PlaceholderFormat formatOf(qsizetype open, QStringView placeholder, QStringView name,
                               int index) const {
        if (const std::optional<PlaceholderFormat> format = placeholderFormatNamed(name)) {
            return *format;
        }
        const QString problem =
            name.isEmpty() ? QStringLiteral("has no format")
            : std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); })
                ? QStringLiteral("has a blank in its format")
                : QStringLiteral("has an unknown format");
        fail(open,
             QStringLiteral("%1 %2; use %3, %4 or %5.")
                 .arg(quoted(placeholder), problem, placeholderText(index, PlaceholderFormat::Xml),
                      placeholderText(index, PlaceholderFormat::Json),
                      placeholderText(index, PlaceholderFormat::Url)));
    }

    static QString quoted(QStringView placeholder) {
        if (placeholder.size() <= kLongestQuotedPlaceholder) {
            return placeholder.toString();
        }
        return QStringLiteral("the placeholder");
    }

    [[noreturn]] void fail(qsizetype at, const QString& problem) const {
        qsizetype line = 1;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < at; ++i) {
            const QChar c = text_[i];
            const bool crlf = c == u'\r' && i + 1 < text_.size() && text_[i + 1] == u'\n';
            if ((c == u'\n' || c == u'\r') && !crlf) {
                ++line;
                lineStart = i + 1;
            }
        }
        const QString where = name_.isEmpty() ? QString() : QStringLiteral(" in %1").arg(name_);
        // One pass over all four arguments, so that a '%' in the name stays as it is.
        throw ComponentError(
            ErrorNumber::TemplateSyntax,
            QStringLiteral("Template error%1 at line %2, column %3: %4")
                .arg(where, QString::number(line), QString::number(at - lineStart + 1), problem),
            kSource);
    }

    QStringView text_;
    QString name_;
    int valueCount_;
};

// Value `placeholder.index` as the placeholder inserts it.
QString insertedValue(const QStringList& values, Placeholder placeholder) {
    const int index = placeholder.index;
    if (index >= values.size()) {
        throw ComponentError(ErrorNumber::TemplateValues,
                             QStringLiteral("The template refers to value %1, but only %2 "
                                            "values were given.")
                                 .arg(index)
                                 .arg(values.size()),
                             kSource);
    }
    return formatValue(values[index], placeholder.format, index);
}

// Adds `length` units from `start` to the ranges, joined to the last one when they touch it.
void addRange(QList<TextRange>& ranges, qsizetype start, qsizetype length) {
    if (length == 0) {
        return;
    }
    if (!ranges.isEmpty() && ranges.last().start + ranges.last().length == start) {
        ranges.last().length += length;
        return;
    }
    ranges.append({start, length});
}

}  // namespace

BraceTemplateEngine::BraceTemplateEngine(int valueCount) : valueCount_(valueCount) {}

void BraceTemplateEngine::LoadTemplate(QString& templateText, QString& templateName) {
    TemplateParser(templateText, templateName, valueCount_)
        .walk([](qsizetype, qsizetype) {}, [](Placeholder) {});
    templateText_ = templateText;
    loaded_ = true;
}

void BraceTemplateEngine::Render(QStringList& values, QString& result) {
    if (!loaded_) {
        throw ComponentError(ErrorNumber::TemplateNotLoaded,
                             QStringLiteral("No template has been loaded."), kSource);
    }
    QString text;
    text.reserve(templateText_.size());
    QList<TextRange> escaped;
    TemplateParser(templateText_, QString(), valueCount_)
        .walk(
            [this, &text](qsizetype from, qsizetype count) {
                text.append(QStringView(templateText_).sliced(from, count));
            },
            [&values, &text, &escaped](Placeholder placeholder) {
                const QString value = insertedValue(values, placeholder);
                if (placeholder.format != PlaceholderFormat::AsIs) {
                    addRange(escaped, text.size(), value.size());
                }
                text.append(value);
            });
    result = std::move(text);
    escapedRanges_ = std::move(escaped);
}

}  // namespace brindlewick
