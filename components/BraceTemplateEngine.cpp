#include "BraceTemplateEngine.h"

#include "ErrorInfo.h"

namespace brindlewick {

namespace {

const QString kSource = QStringLiteral("TemplateEngine");
constexpr qsizetype kLongestQuotedPlaceholder = 16;

// Reads a template text into literal text and value references, failing with the line and
// column of the first brace that is neither an escape nor a placeholder.
class TemplateParser {
  public:
    TemplateParser(QStringView text, const QString& name) : text_(text), name_(name) {}

    void parse(QString& literal, QList<BraceTemplateEngine::Segment>& segments) {
        using Segment = BraceTemplateEngine::Segment;
        qsizetype runStart = 0;
        qsizetype literalStart = 0;
        const auto flushLiteral = [&] {
            if (literal.size() > literalStart) {
                segments.append(Segment{literalStart, literal.size() - literalStart, -1});
                literalStart = literal.size();
            }
        };
        for (qsizetype i = 0; i < text_.size(); ++i) {
            const QChar c = text_[i];
            if (c != u'{' && c != u'}') {
                continue;
            }
            if (isDoubled(i)) {
                literal += text_.sliced(runStart, i + 1 - runStart);
                runStart = ++i + 1;
                continue;
            }
            if (c == u'}') {
                fail(i, QStringLiteral("'}' closes no placeholder; write }} for a literal }."));
            }
            qsizetype end = 0;
            const int index = readPlaceholder(i, end);
            literal += text_.sliced(runStart, i - runStart);
            flushLiteral();
            segments.append(Segment{0, 0, index});
            i = end;
            runStart = end + 1;
        }
        literal += text_.sliced(runStart);
        flushLiteral();
    }

  private:
    bool isDoubled(qsizetype at) const {
        return at + 1 < text_.size() && text_[at + 1] == text_[at];
    }

    // The index of the placeholder whose '{' stands at `open`; `close` receives the position of
    // its '}'.
    int readPlaceholder(qsizetype open, qsizetype& close) const {
        qsizetype at = open + 1;
        int value = 0;
        while (at < text_.size() && text_[at] >= u'0' && text_[at] <= u'9') {
            value = std::min(value * 10 + (text_[at].unicode() - u'0'), 1000);
            ++at;
        }
        const bool closed = at < text_.size() && text_[at] == u'}';
        if (at == open + 1) {
            fail(open, closed ? QStringLiteral("{} has no number; use {0} to {11}.")
                              : QStringLiteral("'{' starts no placeholder; write {{ for a "
                                               "literal {, or {0} to {11} for a value."));
        }
        if (!closed) {
            fail(open, QStringLiteral("the placeholder is not closed; write '}' right after "
                                      "its number."));
        }
        if (value >= BraceTemplateEngine::kValueCount) {
            fail(open, QStringLiteral("%1 is out of range; use {0} to {11}.")
                           .arg(quoted(text_.sliced(open, at + 1 - open))));
        }
        close = at;
        return value;
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
    const QString& name_;
};

}  // namespace

void BraceTemplateEngine::LoadTemplate(QString& templateText, QString& secondText) {
    QString literal;
    QList<Segment> segments;
    TemplateParser(templateText, secondText).parse(literal, segments);
    literalText_ = std::move(literal);
    segments_ = std::move(segments);
    loaded_ = true;
}

void BraceTemplateEngine::Render(QStringList& values, QString& result) {
    if (!loaded_) {
        throw ComponentError(ErrorNumber::TemplateNotLoaded,
                             QStringLiteral("No template has been loaded."), kSource);
    }
    qsizetype length = 0;
    for (const Segment& segment : segments_) {
        if (segment.valueIndex >= values.size()) {
            throw ComponentError(ErrorNumber::TemplateValues,
                                 QStringLiteral("The template refers to value %1, but only %2 "
                                                "values were given.")
                                     .arg(segment.valueIndex)
                                     .arg(values.size()),
                                 kSource);
        }
        length += segment.valueIndex < 0 ? segment.length : values[segment.valueIndex].size();
    }
    QString text;
    text.reserve(length);
    for (const Segment& segment : segments_) {
        if (segment.valueIndex < 0) {
            text += QStringView(literalText_).sliced(segment.offset, segment.length);
        } else {
            text += values[segment.valueIndex];
        }
    }
    result = std::move(text);
}

}  // namespace brindlewick
