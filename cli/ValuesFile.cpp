#include "ValuesFile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "ErrorInfo.h"
#include "QtFileSystemObject.h"

namespace brindlewick {

namespace {

[[noreturn]] void failWith(const QString& path, const QString& problem) {
    throw ComponentError(ErrorNumber::ValuesFile,
                         QStringLiteral("Values file %1: %2").arg(path, problem),
                         QStringLiteral("ValuesFile"));
}

// The file's bytes, unchanged, so that the JSON parser sees (and can refuse) whatever UTF-8 the
// file holds. Only regular files are read, so a directory or a FIFO fails at once instead of
// blocking the read.
QByteArray readBytes(const QString& path) {
    try {
        return readRegularFile(path);
    } catch (...) {
        failWith(path, currentErrorInfo().description);
    }
}

// Line and column, both from 1, of a byte offset; the column counts characters.
QString positionOf(const QByteArray& bytes, qsizetype offset) {
    const QByteArray before = bytes.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2")
        .arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.sliced(lineStart)).size() + 1);
}

QJsonObject parseObject(const QString& path, const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        failWith(path, QStringLiteral("not valid JSON at %1: %2.")
                           .arg(positionOf(bytes, error.offset), error.errorString()));
    }
    if (!document.isObject()) {
        failWith(path, QStringLiteral("it must hold a JSON object, such as "
                                      "{\"project-a-name\": \"Sales\"}."));
    }
    return document.object();
}

const FieldDescription* fieldWithKey(const QString& key) {
    for (const FieldDescription& description : kFields) {
        if (key == QLatin1String(description.key)) {
            return &description;
        }
    }
    return nullptr;
}

}  // namespace

std::map<InputField, QString> readValuesFile(const QString& path) {
    QByteArray bytes = readBytes(path);
    // Editors that save UTF-8 with a byte-order mark are common; JSON has no place for one.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    const QJsonObject object = parseObject(path, bytes);
    std::map<InputField, QString> values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const FieldDescription* field = fieldWithKey(it.key());
        if (field == nullptr) {
            failWith(path, QStringLiteral("unknown key \"%1\"; the keys are the names of the "
                                          "value options without the dashes, such as "
                                          "\"project-a-name\".")
                               .arg(it.key()));
        }
        if (!it.value().isString()) {
            failWith(path, QStringLiteral("the value of \"%1\" is not a string.").arg(it.key()));
        }
        values[field->field] = it.value().toString();
    }
    return values;
}

}  // namespace brindlewick
