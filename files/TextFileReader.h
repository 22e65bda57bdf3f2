#pragma once

#include <QString>
#include <optional>

#include "ErrorInfo.h"

namespace brindlewick {

// The format selectors GetBodyFromTextFile takes; any other selector reads ANSI text.
namespace FormatSelector {
inline constexpr qint32 Ansi = 0;
inline constexpr qint32 Unicode = 1;
inline constexpr qint32 SystemDefault = 2;
}  // namespace FormatSelector

// Both procedures are named as the reports print them.

// The whole text of the file at `path`, read in the selected format and passed through the
// shared TextConversionService. Leaves a start trace with the logger before it touches the file.
// A failure is reported to the logger and gives the empty string, and `failure`, when given,
// receives its error information, so that the caller can say why; only a failure of that report
// reaches the caller.
QString GetBodyFromTextFile(QString path, qint32 formatSelector,
                            std::optional<ErrorInfo>* failure = nullptr);

// The file-system object's format value for a selector: 0 gives FileFormat::Ansi, 1
// FileFormat::Unicode, 2 FileFormat::SystemDefault, anything else FileFormat::Ansi.
qint32 GetFSOTxtFileFormat(qint32 formatSelector);

}  // namespace brindlewick
