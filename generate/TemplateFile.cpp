#include "TemplateFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <optional>

#include "Components.h"
#include "ErrorInfo.h"
#include "StandardFilePathService.h"
#include "TextFileReader.h"

namespace brindlewick {

namespace {

// The texts that tell the user why the template could not be used keep their first line the same
// whatever follows, because that is the line users search for.

// Where the user's own template goes and the installed default to start it from, when there
// is one, a line each.
QString howToAddTemplate(const QString& fileName) {
    const QString ownFolder = userDataFolder();
    if (ownFolder.isEmpty()) {
        return QString();
    }
    QString lines = QStringLiteral("\nTo use your own template, save it as ") +
                    QDir(ownFolder).filePath(fileName);
    for (const QString& folder : applicationDataFolders()) {
        const QString installedDefault =
            QDir(folder).filePath(QStringLiteral("default/") + fileName);
        if (QFileInfo(installedDefault).isFile()) {
            return lines + QStringLiteral("\nTo start from the default, copy %1 there")
                               .arg(installedDefault);
        }
    }
    return lines;
}

// Too few NULs say nothing of their parity: a stray one is no sign of UTF-16.
constexpr qsizetype kFewestNulsToJudge = 4;

// Whether at least nine in ten of the NULs in `text` stand at even positions, or at odd ones.
// Such a text is read one character a byte (as Windows-1252, or as UTF-8 when it is ASCII), so
// these are the parities of the bytes.
bool nulsFallMostlyOnOneParity(QStringView text) {
    std::array<qsizetype, 2> nulsAt = {0, 0};
    for (qsizetype i = text.indexOf(QChar(0)); i >= 0; i = text.indexOf(QChar(0), i + 1)) {
        ++nulsAt[i % 2];
    }
    const qsizetype all = nulsAt[0] + nulsAt[1];
    return all >= kFewestNulsToJudge && std::max(nulsAt[0], nulsAt[1]) * 10 >= all * 9;
}

// A template file that gave no text: names it and adds the reason, the read's own failure or,
// for a regular file with no bytes at all, that it is empty.
QString describeUnreadableTemplate(const QString& path,
                                   const std::optional<ErrorInfo>& readFailure) {
    QString message = QStringLiteral("The template file could not be read or is empty:\n") + path;
    const QFileInfo file(path);
    // Without the reader's failure, only a regular file's size says why there is no text.
    const QString reason = readFailure                         ? readFailure->description
                           : file.isFile() && file.size() == 0 ? QStringLiteral("The file is empty")
                                                               : QString();
    if (!reason.isEmpty()) {
        message += QStringLiteral("\nReason: ") + reason;
    }
    return message;
}

[[noreturn]] void failToRead(ErrorNumber number, const QString& description) {
    throw ComponentError(number, description, QStringLiteral("Generate"));
}

// A template text holding a NUL is no text this program reads, and loaded as it is would fill
// the output with NUL characters: read byte for byte, a file saved as UTF-16 without a
// byte-order mark gives a NUL for the high byte of every character below U+0100, and other
// binary files give them anywhere. Fails naming the file and saying which it looks like: UTF-16
// when there are a few NULs and they stand mostly at every other byte, not text otherwise.
void refuseNulBytes(QStringView text, const QString& path) {
    if (!text.contains(QChar(0))) {
        return;
    }
    const QString firstLine = nulsFallMostlyOnOneParity(text)
                                  ? QStringLiteral("looks like UTF-16 without a byte-order mark")
                                  : QStringLiteral("is not a text file (it contains NUL bytes)");
    failToRead(ErrorNumber::TemplateEncoding,
               QStringLiteral("The template file %1:\n").arg(firstLine) + path +
                   QStringLiteral("\nSave it as UTF-8 and try again."));
}

}  // namespace

TemplateFile readTemplate(const QString& applicationFolder, const QString& chosenPath,
                          const std::function<void(const QString&)>& checkLookedUp) {
    QString folder = applicationFolder;
    QString fileName = QStringLiteral("Template.txt");
    TemplateFile found{chosenPath, QString()};
    const bool lookedUp = chosenPath.isEmpty();
    if (lookedUp) {
        Components::filePathService().ResolvePath(folder, fileName, found.path);
        if (checkLookedUp) {
            checkLookedUp(found.path);
        }
    }
    std::optional<ErrorInfo> readFailure;
    found.text = GetBodyFromTextFile(found.path, FormatSelector::Ansi, &readFailure);
    if (found.text.isEmpty()) {
        // An empty template would clear the output and show nothing: say why instead.
        if (lookedUp && !QFileInfo::exists(found.path)) {
            failToRead(
                ErrorNumber::TemplateNotFound,
                QStringLiteral("No %1 was found in any of these folders, searched in this order:\n")
                        .arg(fileName) +
                    searchFolders(applicationFolder).join(u'\n') + howToAddTemplate(fileName));
        }
        failToRead(ErrorNumber::TemplateUnreadable,
                   describeUnreadableTemplate(found.path, readFailure));
    }
    refuseNulBytes(found.text, found.path);
    return found;
}

}  // namespace brindlewick
