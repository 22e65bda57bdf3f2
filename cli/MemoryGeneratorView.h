#pragma once

#include <QString>
#include <map>
#include <optional>
#include <utility>

#include "GeneratorView.h"

namespace brindlewick {

// A view without a window: the twelve values, the output and the failure of a run, in memory.
// A field that was never given a value is empty, as an empty field in the window.
class MemoryGeneratorView final : public GeneratorView {
  public:
    explicit MemoryGeneratorView(std::map<InputField, QString> values)
        : values_(std::move(values)) {}

    QString fieldText(InputField field) const override {
        const auto it = values_.find(field);
        return it == values_.end() ? QString() : it->second;
    }
    QString outputText() const override { return output_; }
    void setOutputText(const QString& text) override { output_ = text; }
    void showFailure(const QString& description) override { failure_ = description; }

    // The description of the failure that ended the run, if one did.
    const std::optional<QString>& failure() const { return failure_; }

  private:
    std::map<InputField, QString> values_;
    QString output_;
    std::optional<QString> failure_;
};

}  // namespace brindlewick
