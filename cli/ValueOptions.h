#pragma once

#include <array>

#include "GeneratorView.h"

namespace brindlewick {

// One of the twelve command-line options that set a field, and the key of the same name in a
// values file.
struct ValueOption {
    const char* name;
    InputField field;
    const char* description;
};

// In the order the window shows the fields: project A's six, then project B's.
inline constexpr std::array<ValueOption, 12> kValueOptions = {{
    {"project-a-name", InputField::ProjAName, "project A's name"},
    {"project-a-id", InputField::ProjAID, "project A's ID"},
    {"project-a-add-view", InputField::AddViewAName, "project A's add view"},
    {"project-a-edit-view", InputField::EditViewAName, "project A's edit view"},
    {"project-a-grid-field-id", InputField::ProjAGridFieldID, "project A's grid field ID"},
    {"project-a-data-source-type", InputField::ProjALinkedDSType,
     "project A's linked data-source type"},
    {"project-b-name", InputField::ProjBName, "project B's name"},
    {"project-b-id", InputField::ProjBID, "project B's ID"},
    {"project-b-add-view", InputField::AddViewBName, "project B's add view"},
    {"project-b-edit-view", InputField::EditViewBName, "project B's edit view"},
    {"project-b-grid-field-id", InputField::ProjBGridFieldID, "project B's grid field ID"},
    {"project-b-data-source-type", InputField::ProjBLinkedDSType,
     "project B's linked data-source type"},
}};

}  // namespace brindlewick
