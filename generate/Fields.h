#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <optional>

namespace brindlewick {

// The twelve fields of a Generate, in the order the window shows them: project A's six, then
// project B's.
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

inline constexpr int kFieldCount = 12;

// What identifies a field everywhere the program meets it.
struct FieldDescription {
    InputField field;
    // The name of the command line's option (after "--") and of the values file's key.
    const char* key;
    char project;       // 'A' or 'B'
    const char* value;  // what the field holds, in words: "add view"
    // The template's {N} that shows the field: for a view name, the view path it ends.
    int templateIndex;
    // For a view name, the field whose text the view path starts with; none for the others.
    std::optional<InputField> pathProject = std::nullopt;
};

inline constexpr std::array<FieldDescription, kFieldCount> kFields = {{
    {InputField::ProjAName, "project-a-name", 'A', "name", 2},
    {InputField::ProjAID, "project-a-id", 'A', "ID", 0},
    {InputField::AddViewAName, "project-a-add-view", 'A', "add view", 4, InputField::ProjAName},
    {InputField::EditViewAName, "project-a-edit-view", 'A', "edit view", 5, InputField::ProjAName},
    {InputField::ProjAGridFieldID, "project-a-grid-field-id", 'A', "grid field ID", 8},
    {InputField::ProjALinkedDSType, "project-a-data-source-type", 'A', "linked data-source type",
     10},
    {InputField::ProjBName, "project-b-name", 'B', "name", 3},
    {InputField::ProjBID, "project-b-id", 'B', "ID", 1},
    {InputField::AddViewBName, "project-b-add-view", 'B', "add view", 6, InputField::ProjBName},
    {InputField::EditViewBName, "project-b-edit-view", 'B', "edit view", 7, InputField::ProjBName},
    {InputField::ProjBGridFieldID, "project-b-grid-field-id", 'B', "grid field ID", 9},
    {InputField::ProjBLinkedDSType, "project-b-data-source-type", 'B', "linked data-source type",
     11},
}};

constexpr const FieldDescription& describe(InputField field) {
    return kFields[static_cast<std::size_t>(field)];
}

static_assert(std::ranges::all_of(kFields,
                                  [](const FieldDescription& description) {
                                      return describe(description.field).field == description.field;
                                  }),
              "kFields lists the fields in the order of InputField");

// The name a screen reader gives the field: "Project A add view".
inline QString spokenName(const FieldDescription& description) {
    return QStringLiteral("Project ") + QLatin1Char(description.project) + u' ' +
           QLatin1String(description.value);
}

}  // namespace brindlewick
