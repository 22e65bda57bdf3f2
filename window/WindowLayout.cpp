#include "WindowLayout.h"

namespace brindlewick {

namespace {
constexpr auto Button = ControlKind::Button;
constexpr auto Field = ControlKind::TextField;
constexpr auto Output = ControlKind::MultiLineTextField;
constexpr auto Frame = ControlKind::Frame;
constexpr auto Label = ControlKind::Label;
constexpr const char* kWindow = nullptr;
}  // namespace

// The edit-view fields belong to the window, not to the frames: they lie over their frame's
// column, in front of it.
const std::array<ControlSpec, 28> kWindowControls = {{
    {"cmdOK", Button, kWindow, "Generate", 9960, 5640, 1215, 495, 30},
    {"txtOutput", Output, kWindow, "", 360, 6480, 10815, 3135, 31},
    {"txtEditViewBName", Field, kWindow, "", 6360, 3240, 3615, 285, 25},
    {"Frame2", Frame, kWindow, "ProjectB", 6120, 240, 5055, 5055, 15},
    {"txtProjBName", Field, "Frame2", "", 240, 720, 3615, 285, 16},
    {"txtProjBID", Field, "Frame2", "", 240, 1440, 3615, 285, 18},
    {"txtAddViewBName", Field, "Frame2", "", 240, 2160, 3615, 285, 20},
    {"txtProjBGridFieldID", Field, "Frame2", "", 240, 3720, 3615, 285, 27},
    {"txtProjBLinkedDSType", Field, "Frame2", "", 240, 4440, 3615, 285, 29},
    {"Label14", Label, "Frame2", "Name:", 240, 480, 2295, 495, 24},
    {"Label13", Label, "Frame2", "ID:", 240, 1200, 2775, 375, 23},
    {"Label12", Label, "Frame2", "Add View Name:", 240, 1920, 3255, 255, 22},
    {"Label11", Label, "Frame2", "Edit View Name:", 240, 2760, 3015, 255, 21},
    {"Label10", Label, "Frame2", "Grid Field ID:", 240, 3480, 2535, 375, 19},
    {"Label9", Label, "Frame2", "ProjectA01_Dat nDSType:", 240, 4200, 2535, 255, 17},
    {"txtEditViewAName", Field, kWindow, "", 480, 3240, 3615, 285, 7},
    {"Frame1", Frame, kWindow, "ProjectA", 240, 240, 5055, 5055, 0},
    {"txtProjALinkedDSType", Field, "Frame1", "", 240, 4440, 3615, 285, 14},
    {"txtProjAGridFieldID", Field, "Frame1", "", 240, 3720, 3615, 285, 12},
    {"txtAddViewAName", Field, "Frame1", "", 240, 2160, 3615, 285, 5},
    {"txtProjAID", Field, "Frame1", "", 240, 1440, 3615, 285, 4},
    {"txtProjAName", Field, "Frame1", "", 240, 720, 3615, 285, 2},
    {"Label8", Label, "Frame1", "ProjectB01_Dat nDSType:", 240, 4200, 2535, 255, 13},
    {"Label7", Label, "Frame1", "Grid Field ID:", 240, 3480, 2535, 375, 11},
    {"Label6", Label, "Frame1", "Edit View Name:", 240, 2760, 3015, 255, 10},
    {"Label3", Label, "Frame1", "Add View Name:", 240, 1920, 3255, 255, 6},
    {"Label2", Label, "Frame1", "ID:", 240, 1200, 2775, 375, 3},
    {"Label1", Label, "Frame1", "Name:", 240, 480, 2295, 495, 1},
}};

const std::array<FieldControl, kFieldCount> kFieldControls = {{
    {InputField::ProjAName, "txtProjAName", "Label1"},
    {InputField::ProjAID, "txtProjAID", "Label2"},
    {InputField::AddViewAName, "txtAddViewAName", "Label3"},
    {InputField::EditViewAName, "txtEditViewAName", "Label6"},
    {InputField::ProjAGridFieldID, "txtProjAGridFieldID", "Label7"},
    {InputField::ProjALinkedDSType, "txtProjALinkedDSType", "Label8"},
    {InputField::ProjBName, "txtProjBName", "Label14"},
    {InputField::ProjBID, "txtProjBID", "Label13"},
    {InputField::AddViewBName, "txtAddViewBName", "Label12"},
    {InputField::EditViewBName, "txtEditViewBName", "Label11"},
    {InputField::ProjBGridFieldID, "txtProjBGridFieldID", "Label10"},
    {InputField::ProjBLinkedDSType, "txtProjBLinkedDSType", "Label9"},
}};

const FieldControl& controlOf(InputField field) {
    return kFieldControls[static_cast<std::size_t>(field)];
}

}  // namespace brindlewick
