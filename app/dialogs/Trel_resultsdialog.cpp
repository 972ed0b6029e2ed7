#include "app/dialogs/Trel_resultsdialog.h"

#include "app/images/Trel_images.h"

#include <array>

// ---------------------------------------------------------------- TResultsCounter

namespace {

[[noreturn]] void ResultNotSupported() {
    throw ERenameError("The result is not supported.");
}

} // namespace

int TResultsCounter::Index(TRenameItemResult result) {
    switch (result) {
    case TRenameItemResult::Succeeded:
        return 0;
    case TRenameItemResult::Failed:
        return 1;
    case TRenameItemResult::Skipped:
        return 2;
    case TRenameItemResult::None:
        return 3;
    }
    ResultNotSupported();
}

void TResultsCounter::Reset() {
    FCounts.fill(0);
}

void TResultsCounter::Add(TRenameItemResult result) {
    ++FCounts[static_cast<size_t>(Index(result))];
}

std::int32_t TResultsCounter::Count(TRenameItemResult result) const {
    return FCounts[static_cast<size_t>(Index(result))];
}

std::int32_t TResultsCounter::Total() const {
    return FCounts[0] + FCounts[1] + FCounts[2] + FCounts[3];
}

// ---------------------------------------------------------------- result icons

TIconHandle CreateResultIcon(TRenameItemResult result) {
    // The same pictures as the list's row images of the results.
    switch (result) {
    case TRenameItemResult::None:
    case TRenameItemResult::Succeeded:
    case TRenameItemResult::Failed:
    case TRenameItemResult::Skipped:
        return CreatePictureIcon(PaintResultImage(result, kResultIconSize));
    }
    ResultNotSupported();
}

// ---------------------------------------------------------------- TTrelResultsDialog

namespace {

constexpr const char* kGroupBox = "ResultsGroupBox";

// Rows 30 pixels apart inside the group box: icon, caption, value.
const TControlDef kControls[] = {
    {ckButton, "CloseButton", 285, 200, 101, 26, "Close", coDefault | coCancel, mrOk},
    {ckGroupBox, kGroupBox, 10, 10, 376, 176, "Results"},
    {ckImage, "SucceededImage", 10, 20, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "SucceededLabel", 40, 20, 161, 26, "Succeeded:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SucceededValue", 205, 20, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "FailedImage", 10, 50, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "FailedLabel", 40, 50, 161, 26, "Failed:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "FailedValue", 205, 50, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "SkippedImage", 10, 80, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "SkippedLabel", 40, 80, 161, 26, "Skipped:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SkippedValue", 205, 80, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "NoneImage", 10, 110, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "NoneLabel", 40, 110, 161, 26, "None:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "NoneValue", 205, 110, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "TotalLabel", 40, 140, 161, 26, "Total:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "TotalValue", 205, 140, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
};

// The controls' names by row, in the order of kResultRows, then the total.
const char* const kRowNames[] = {"Succeeded", "Failed", "Skipped", "None", "Total"};

} // namespace

TTrelResultsDialog::TTrelResultsDialog()
    : TForm({"Results", 396, 236, bsDialog, poMainFormCenter}),
      FCounter(std::make_unique<TResultsCounter>()) {
    CreateControls(kControls);
    CloseButton = &Control<TButton>("CloseButton");
    ResultsGroupBox = &Control<TGroupBox>(kGroupBox);
    for (int row = 0; row <= kResultRowCount; ++row) {
        const std::string name = kRowNames[row];
        CaptionLabels[row] = &Control<TLabel>(name + "Label");
        ValueLabels[row] = &Control<TLabel>(name + "Value");
        if (row < kResultRowCount) {
            ResultImages[row] = &Control<TImage>(name + "Image");
            ResultImages[row]->SetIcon(CreateResultIcon(kResultRows[row]));
        }
    }
}

TTrelResultsDialog::~TTrelResultsDialog() = default;

void TTrelResultsDialog::Display() {
    for (int row = 0; row < kResultRowCount; ++row)
        ValueLabels[row]->SetText(IntToStr(FCounter->Count(kResultRows[row])));
    ValueLabels[kResultRowCount]->SetText(IntToStr(FCounter->Total()));
    ShowModal();
}
