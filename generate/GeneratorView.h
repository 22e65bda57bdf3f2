#pragma once

#include <QString>

namespace brindlewick {

// The twelve input fields of the generator window.
enum class InputField {
    ProjAName,
    ProjAID,
    AddViewAName,
    EditViewAName,
    ProjAGridFieldID,
    ProjALinkedDSType,
    ProjBName,
    ProjBID,
    AddViewBName,
    EditViewBName,
    ProjBGridFieldID,
    ProjBLinkedDSType,
};

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
