#include "StderrErrorLogger.h"

#include <QLoggingCategory>

#include "EscapedText.h"

namespace brindlewick {

namespace {

// Named after the program, so that Qt's default message format prints "brindlewick: level=...";
// traces, its debug messages, are off unless QT_LOGGING_RULES="brindlewick.debug=true".
Q_LOGGING_CATEGORY(reportsCategory, "brindlewick", QtInfoMsg)

// The escape of a unit that a report's quoted text cannot hold as it is: quotes, backslashes and
// control characters, line and paragraph separators included, so that a report stays one line.
QString reportEscape(QStringView text, qsizetype index) {
    const QChar c = text[index];
    QString escape = backslashEscape(c.unicode());
    if (!escape.isEmpty()) {
        return escape;
    }
    const bool control = c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                         c == QChar::ParagraphSeparator;
    return control ? unicodeEscape(c.unicode()) : QString();
}

// The text in double quotes, escaped.
void appendQuoted(QString& line, const QString& text) {
    line += u'"' + escapedText(text, reportEscape) + u'"';
}

}  // namespace

QString formatReport(const QString& message, const ErrorInfo* error, qint32 level, qint32 mask) {
    QString line = QStringLiteral("level=%1 mask=%2 message=").arg(level).arg(mask);
    appendQuoted(line, message);
    if (error != nullptr) {
        line += QStringLiteral(" error=%1 description=").arg(error->number);
        appendQuoted(line, error->description);
        line += QStringLiteral(" source=");
        appendQuoted(line, error->source);
    }
    return line;
}

void StderrErrorLogger::LogMessage(QString& message, const ErrorInfo* error, qint32& level,
                                   qint32& mask) {
    const QString report = formatReport(message, error, level, mask);
    if (level >= kStartTrace.level) {
        qCDebug(reportsCategory).noquote() << report;
    } else {
        qCWarning(reportsCategory).noquote() << report;
    }
}

}  // namespace brindlewick
