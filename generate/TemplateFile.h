#pragma once

#include <QString>
#include <functional>

namespace brindlewick {

// A template and the file it was read from.
struct TemplateFile {
    QString path;
    QString text;
};

// Reads the template file `chosenPath` names or, when it is empty, looks up the first
// Template.txt beside the program (in `applicationFolder`) or in the data folders. A looked-up
// file's path is first given to `checkLookedUp`, which may throw to stop the run before the file
// is read. A file that gives no text to fill in throws ComponentError with a description that
// tells the user which file, where the program looked and, where it can be known, why.
TemplateFile readTemplate(const QString& applicationFolder, const QString& chosenPath = QString(),
                          const std::function<void(const QString&)>& checkLookedUp = {});

}  // namespace brindlewick
