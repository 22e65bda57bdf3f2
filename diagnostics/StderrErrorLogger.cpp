#include "StderrErrorLogger.h"

namespace brindlewick {

Q_LOGGING_CATEGORY(reportsCategory, "brindlewick", QtInfoMsg)

namespace {

// The level of the start traces; failures have lower levels.
constexpr qint32 kLowestTraceLevel = 4;

bool needsEscape(QChar c) {
    return c == u'"' || c == u'\\' || c.category() == QChar::Other_Control ||
           c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

void appendEscaped(QString& line, QChar c) {
    switch (c.unicode()) {
        case u'\n':
            line += u"\\n";
            return;
        case u'\r':
            line += u"\\r";
            return;
        case u'\t':
            line += u"\\t";
            return;
        case u'"':
            line += u"\\\"";
            return;
        case u'\\':
            line += u"\\\\";
            return;
        default:
            line += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
}

// The text in double quotes, with quotes, backslashes and control characters escaped.
void appendQuoted(QString& line, const QString& text) {
    line += u'"';
    for (QChar c : text) {
        if (needsEscape(c)) {
            appendEscaped(line, c);
        } else {
            line += c;
        }
    }
    line += u'"';
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
    if (level >= kLowestTraceLevel) {
        qCDebug(reportsCategory).noquote() << report;
    } else {
        qCWarning(reportsCategory).noquote() << report;
    }
}

}  // namespace brindlewick
