#include "BraceTemplateEngine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "ErrorInfo.h"
#include "PlaceholderFormats.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    TemplateParser(QStringView text, QString name) : text_(text), name_(std::move(name)) {}

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
            if (isDoubled(i)) {
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
    // The position of the first '{' or '}' from `from` on, or the text's size. A template is
    // mostly literal text: eight units are looked at a time where SSE2 is there.
    qsizetype nextBrace(qsizetype from) const {
        const char16_t* units = text_.utf16();
        const qsizetype size = text_.size();
#ifdef __SSE2__
        const __m128i open = _mm_set1_epi16(u'{');
        const __m128i close = _mm_set1_epi16(u'}');
        for (; from + 8 <= size; from += 8) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + from));
            const int braces = _mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi16(block, open), _mm_cmpeq_epi16(block, close)));
            if (braces != 0) {
                return from + std::countr_zero(static_cast<unsigned>(braces)) / 2;
            }
        }
#endif
        while (from < size && units[from] != u'{' && units[from] != u'}') {
            ++from;
        }
        return from;
    }

    bool isDoubled(qsizetype at) const {
        return at + 1 < text_.size() && text_[at + 1] == text_[at];
    }

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
            fail(open, closed ? QStringLiteral("{} has no number; use {0} to {11}.")
                              : QStringLiteral("'{' starts no placeholder; write {{ for a "
                                               "literal {, or {0} to {11} for a value."));
        }
        const bool hasFormat = at < text_.size() && text_[at] == u':';
        const qsizetype formatStart = at + 1;
        if (hasFormat) {
            at = endOfFormat(formatStart);
        }
        if (at == text_.size() || text_[at] != u'}') {
            fail(open, hasFormat ? QStringLiteral("the placeholder is not closed; write '}' right "
                                                  "after its format.")
                                 : QStringLiteral("the placeholder is not closed; write '}' right "
                                                  "after its number."));
        }
        const QStringView placeholder = text_.sliced(open, at + 1 - open);
        if (value >= BraceTemplateEngine::kValueCount) {
            fail(open,
                 QStringLiteral("%1 is out of range; use {0} to {11}.").arg(quoted(placeholder)));
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
        const std::optional<PlaceholderFormat> format = placeholderFormatNamed(name);
        if (format) {
            return *format;
        }
        QStringList examples;
        for (const PlaceholderFormat known : kNamedFormats) {
            examples.append(placeholderText(index, known));
        }
        const QString problem =
            name.isEmpty() ? QStringLiteral("has no format")
            : std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); })
                ? QStringLiteral("has a blank in its format")
                : QStringLiteral("has an unknown format");
        const QString last = examples.takeLast();
        fail(open,
             QStringLiteral("%1 %2; use %3 or %4.")
                 .arg(quoted(placeholder), problem, examples.join(QStringLiteral(", ")), last));
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
};

// The values as the placeholders insert them. A value is formatted once, however often its
// placeholder stands in the template, and only in the formats the template asks for.
class InsertedValues {
  public:
    explicit InsertedValues(const QStringList& values) : values_(values) {}

    const QString& of(Placeholder placeholder) {
        const int index = placeholder.index;
        if (index >= values_.size()) {
            throw ComponentError(ErrorNumber::TemplateValues,
                                 QStringLiteral("The template refers to value %1, but only %2 "
                                                "values were given.")
                                     .arg(index)
                                     .arg(values_.size()),
                                 kSource);
        }
        if (placeholder.format == PlaceholderFormat::AsIs) {
            return values_[index];
        }
        const auto formatSlot = static_cast<std::size_t>(static_cast<int>(placeholder.format) -
                                                         static_cast<int>(PlaceholderFormat::Xml));
        std::optional<QString>& formatted = formatted_[formatSlot][index];
        if (!formatted) {
            formatted = formatValue(values_[index], placeholder.format, index);
        }
        return *formatted;
    }

  private:
    const QStringList& values_;
    std::array<std::array<std::optional<QString>, BraceTemplateEngine::kValueCount>,
               kNamedFormats.size()>
        formatted_;
};

}  // namespace

void BraceTemplateEngine::LoadTemplate(QString& templateText, QString& templateName) {
    TemplateParser(templateText, templateName)
        .walk([](qsizetype, qsizetype) {}, [](Placeholder) {});
    templateText_ = templateText;
    loaded_ = true;
}

// The template is walked twice, once to size the result and once to fill it, rather than kept
// as a list of pieces: a list of pieces would take more memory than the template itself.
void BraceTemplateEngine::Render(QStringList& values, QString& result) {
    if (!loaded_) {
        throw ComponentError(ErrorNumber::TemplateNotLoaded,
                             QStringLiteral("No template has been loaded."), kSource);
    }
    const TemplateParser parser(templateText_, QString());
    InsertedValues inserted(values);
    qsizetype length = 0;
    parser.walk([&length](qsizetype, qsizetype count) { length += count; },
                [&length, &inserted](Placeholder placeholder) {
                    length += inserted.of(placeholder).size();
                });
    // Filled through a pointer: the pieces are short, and appending each to a QString would cost
    // more than copying it.
    QString text(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* source = reinterpret_cast<const char16_t*>(templateText_.constData());
    parser.walk([&out, source](qsizetype from,
                               qsizetype count) { out = std::copy_n(source + from, count, out); },
                [&out, &inserted](Placeholder placeholder) {
                    const QString& value = inserted.of(placeholder);
                    out = std::copy_n(reinterpret_cast<const char16_t*>(value.constData()),
                                      value.size(), out);
                });
    result = std::move(text);
}

}  // namespace brindlewick
