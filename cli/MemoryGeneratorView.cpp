#include "MemoryGeneratorView.h"

#include <utility>

namespace brindlewick {

MemoryGeneratorView::MemoryGeneratorView(std::map<InputField, QString> values)
    : values_(std::move(values)) {}

QString MemoryGeneratorView::fieldText(InputField field) const {
    const auto it = values_.find(field);
    return it == values_.end() ? QString() : it->second;
}

}  // namespace brindlewick
