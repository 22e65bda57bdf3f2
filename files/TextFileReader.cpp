#include "TextFileReader.h"

#include "Components.h"
#include "Reports.h"

namespace brindlewick {

QString GetBodyFromTextFile(QString path, qint32 formatSelector,
                            std::optional<ErrorInfo>* failure) {
    // Declared in this order so that, on every path, the stream is released before the
    // file-system object.
    std::unique_ptr<FileSystemObject> fileSystem;
    std::unique_ptr<TextStream> stream;
    try {
        reportToLogger(QStringLiteral(".GetBodyFromTextFile, Start, File:") + path, nullptr,
                       kStartTrace);
        fileSystem = Components::newFileSystemObject();
        const qint32 format = GetFSOTxtFileFormat(formatSelector);
        stream = fileSystem->OpenTextFile(path, IoMode::ForReading, false, format);
        QString body = stream->ReadAll();
        stream->Close();
        stream.reset();
        fileSystem.reset();
        QString converted;
        Components::textConversionService().ConvertText(std::move(body), converted);
        return converted;
    } catch (...) {
        if (failure != nullptr) {
            *failure = currentErrorInfo();
        }
        reportCurrentFailure(QStringLiteral(".GetBodyFromTextFile, File:") + path,
                             kProcedureFailure);
        return QString();
    }
}

qint32 GetFSOTxtFileFormat(qint32 formatSelector) {
    try {
        switch (formatSelector) {
            case FormatSelector::Unicode:
                return FileFormat::Unicode;
            case FormatSelector::SystemDefault:
                return FileFormat::SystemDefault;
            default:
                return FileFormat::Ansi;
        }
    } catch (...) {
        reportCurrentFailure(QStringLiteral(".GetFSOTxtFileFormat"), kProcedureFailure);
        return 0;
    }
}

}  // namespace brindlewick
