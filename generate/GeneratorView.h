#pragma once

#include <QString>

#include "Fields.h"

namespace brindlewick {

// What the Generate command needs of the window: the fields' texts, the output's text and a
// way to show a failure. Any of the first three may throw ComponentError; the command then ends
// its run and shows the failure.
class GeneratorView {
  public:
    virtual ~GeneratorView() = default;
    virtual QString fieldText(InputField field) const = 0;
    virtual QString outputText() const = 0;
    virtual void setOutputText(const QString& text) = 0;
    virtual void showFailure(const QString& description) = 0;
};

}  // namespace brindlewick
