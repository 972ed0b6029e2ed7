#include "app/dialogs/Trel_checkdialog.h"

namespace {

constexpr const char* kGroupBox = "ReasonsGroupBox";

// Rows 30 pixels apart inside the group box: caption, count.
const TControlDef kControls[] = {
    {ckLabel, "SummaryLabel", 10, 10, 376, 26, "", coNoPrefix | coCenterVertically},
    {ckGroupBox, kGroupBox, 10, 46, 376, 266, "Entries"},
    {ckLabel, "InvalidNameLabel", 10, 20, 281, 26, "Invalid new name:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "InvalidNameValue", 295, 20, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SamePathLabel", 10, 50, 281, 26, "Same new path as an earlier entry:", coCenterVertically, mrNone,
     kGroupBox},
    {ckLabel, "SamePathValue", 295, 50, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "NameTakenLabel", 10, 80, 281, 26, "New name already taken:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "NameTakenValue", 295, 80, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "InsideRenamedDirectoryLabel", 10, 110, 281, 26, "Inside a directory renamed earlier:",
     coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "InsideRenamedDirectoryValue", 295, 110, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone,
     kGroupBox},
    {ckLabel, "CycleLabel", 10, 140, 281, 26, "Part of a cycle of names:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "CycleValue", 295, 140, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "MissingLabel", 10, 170, 281, 26, "No longer on disk:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "MissingValue", 295, 170, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "UnchangedLabel", 10, 200, 281, 26, "Unchanged (will be skipped):", coCenterVertically, mrNone,
     kGroupBox},
    {ckLabel, "UnchangedValue", 295, 200, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SafeOrderLabel", 10, 230, 281, 26, "Served by a safe order (Perform asks):", coCenterVertically,
     mrNone, kGroupBox},
    {ckLabel, "SafeOrderValue", 295, 230, 71, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckButton, "CloseButton", 285, 322, 101, 26, "Close", coDefault | coCancel, mrOk},
};

// The controls' names by reason, in the order of TCheckReason.
const char* const kRowNames[kCheckReasonCount] = {
    "InvalidName", "SamePath", "NameTaken", "InsideRenamedDirectory", "Cycle", "Missing", "Unchanged",
};

} // namespace

std::string CheckSummaryText(int failing) {
    if (failing <= 0)
        return "No problems found.";
    if (failing == 1)
        return "1 entry would fail; it is selected.";
    return Format("%d entries would fail; they are selected.", failing);
}

const char* CheckReasonCaption(TCheckReason reason) {
    for (const TControlDef& def : kControls)
        if (std::string(def.Name) == std::string(kRowNames[reason]) + "Label")
            return def.Caption;
    return "";
}

TTrelCheckDialog::TTrelCheckDialog() : TForm({"Check", 396, 358, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    SummaryLabel = &Control<TLabel>("SummaryLabel");
    ReasonsGroupBox = &Control<TGroupBox>(kGroupBox);
    for (int row = 0; row < kCheckReasonCount; ++row) {
        const std::string name = kRowNames[row];
        CaptionLabels[row] = &Control<TLabel>(name + "Label");
        ValueLabels[row] = &Control<TLabel>(name + "Value");
    }
    SafeOrderValue = &Control<TLabel>("SafeOrderValue");
    CloseButton = &Control<TButton>("CloseButton");
}

void TTrelCheckDialog::Display(const TCheckCounts& counts) {
    SummaryLabel->SetText(CheckSummaryText(counts.Failing));
    for (int row = 0; row < kCheckReasonCount; ++row)
        ValueLabels[row]->SetText(IntToStr(counts.Reasons[static_cast<size_t>(row)]));
    SafeOrderValue->SetText(IntToStr(counts.SafeOrderServes));
    ShowModal();
}
