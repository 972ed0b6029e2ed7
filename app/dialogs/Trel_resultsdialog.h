// The results dialog: how many entries the last rename or restore left in
// each result.
#pragma once

#include "app/names/Trel_rename.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_handles.h"

#include <array>
#include <cstdint>
#include <memory>

// Counts results: succeeded, failed, skipped and none.
class TResultsCounter : public TObject {
public:
    void Reset();
    // A value outside the four results raises ERenameError "The result is
    // not supported." and counts nothing.
    void Add(TRenameItemResult result);
    // The count of one result; a value outside the four raises as Add does.
    std::int32_t Count(TRenameItemResult result) const;
    std::int32_t Total() const;

private:
    static int Index(TRenameItemResult result);

    // Succeeded, failed, skipped, none.
    std::array<std::int32_t, 4> FCounts{};
};

// The four results in the order the dialog's rows show them.
constexpr TRenameItemResult kResultRows[] = {TRenameItemResult::Succeeded, TRenameItemResult::Failed,
                                             TRenameItemResult::Skipped, TRenameItemResult::None};
constexpr int kResultRowCount = 4;

// The size of the result icons, in pixels.
constexpr int kResultIconSize = 16;

// The 16 x 16 picture of a result, with a transparent background; the list's
// row images show the same pictures. A value outside the four raises
// ERenameError "The result is not supported.".
TIconHandle CreateResultIcon(TRenameItemResult result);

class TTrelResultsDialog : public TForm {
public:
    TTrelResultsDialog();
    ~TTrelResultsDialog() override;

    TResultsCounter& Counter() const { return *FCounter; }
    // Writes the counts and their total into the value labels, then shows
    // the dialog modally.
    void Display();

    // Closes with OK; answers Esc and Enter.
    TButton* CloseButton;
    TGroupBox* ResultsGroupBox;
    // One per result, in the order of kResultRows.
    TImage* ResultImages[kResultRowCount];
    // Rows: the four results in the order of kResultRows, then the total.
    TLabel* CaptionLabels[kResultRowCount + 1];
    TLabel* ValueLabels[kResultRowCount + 1];

private:
    std::unique_ptr<TResultsCounter> FCounter;
};
