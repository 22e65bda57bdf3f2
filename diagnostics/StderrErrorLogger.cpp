#include "StderrErrorLogger.h"

#include <cstdio>

namespace brindlewick {

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

QString formatLogLine(const QString& message, const ErrorInfo* error, qint32 level, qint32 mask) {
    QString line = QStringLiteral("brindlewick: level=%1 mask=%2 message=").arg(level).arg(mask);
    appendQuoted(line, message);
    if (error != nullptr) {
        line += QStringLiteral(" error=%1 description=").arg(error->number);
        appendQuoted(line, error->description);
        line += QStringLiteral(" source=");
        appendQuoted(line, error->source);
    }
    line += u'\n';
    return line;
}

void StderrErrorLogger::LogMessage(QString& message, const ErrorInfo* error, qint32& level,
                                   qint32& mask) {
    if (traces_ == Traces::Hidden && level >= kLowestTraceLevel) {
        return;
    }
    const QByteArray line = formatLogLine(message, error, level, mask).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace brindlewick
