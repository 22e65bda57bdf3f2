#pragma once

#include <array>
#include <utility>

#include "Fields.h"

namespace brindlewick::test {

// Plausible values for the twelve fields: two projects, Sales and Stock, each with an add view
// and an edit view.
inline constexpr std::array<std::pair<InputField, const char*>, 12> kSampleValues = {{
    {InputField::ProjAName, "Sales"},
    {InputField::ProjAID, "1001"},
    {InputField::AddViewAName, "Add Order"},
    {InputField::EditViewAName, "Edit Order"},
    {InputField::ProjAGridFieldID, "OrderID"},
    {InputField::ProjALinkedDSType, "SQL"},
    {InputField::ProjBName, "Stock"},
    {InputField::ProjBID, "2002"},
    {InputField::AddViewBName, "Add Item"},
    {InputField::EditViewBName, "Edit Item"},
    {InputField::ProjBGridFieldID, "ItemID"},
    {InputField::ProjBLinkedDSType, "REST"},
}};

}  // namespace brindlewick::test
