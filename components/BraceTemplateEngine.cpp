#include "BraceTemplateEngine.h"

#include "ErrorInfo.h"

namespace brindlewick {

namespace {

const QString kSource = QStringLiteral("TemplateEngine");
constexpr qsizetype kLongestQuotedPlaceholder = 16;

// Walks a template text: hands each run of literal text (as a position and a length in the text)
// and each value reference to the caller, in order, and fails with the line and column of the
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
        for (qsizetype i = 0; i < text_.size(); ++i) {
            const QChar c = text_[i];
            if (c != u'{' && c != u'}') {
                continue;
            }
            if (isDoubled(i)) {
                literalUpTo(i + 1);
                runStart = ++i + 1;
                continue;
            }
            if (c == u'}') {
                fail(i, QStringLiteral("'}' closes no placeholder; write }} for a literal }."));
            }
            qsizetype end = 0;
            const int index = readPlaceholder(i, end);
            literalUpTo(i);
            onValue(index);
            i = end;
            runStart = end + 1;
        }
        literalUpTo(text_.size());
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
    QString name_;
};

}  // namespace

void BraceTemplateEngine::LoadTemplate(QString& templateText, QString& secondText) {
    TemplateParser(templateText, secondText).walk([](qsizetype, qsizetype) {}, [](int) {});
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
    qsizetype length = 0;
    parser.walk([&length](qsizetype, qsizetype count) { length += count; },
                [&length, &values](int index) {
                    if (index >= values.size()) {
                        throw ComponentError(
                            ErrorNumber::TemplateValues,
                            QStringLiteral("The template refers to value %1, but only %2 values "
                                           "were given.")
                                .arg(index)
                                .arg(values.size()),
                            kSource);
                    }
                    length += values[index].size();
                });
    QString text;
    text.reserve(length);
    const QStringView source(templateText_);
    parser.walk(
        [&text, source](qsizetype from, qsizetype count) { text += source.sliced(from, count); },
        [&text, &values](int index) { text += values[index]; });
    result = std::move(text);
}

}  // namespace brindlewick
