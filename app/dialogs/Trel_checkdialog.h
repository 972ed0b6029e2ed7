// The dialog that shows what a check of the rename found: how many entries
// would fail, for each reason.
#pragma once

#include "app/rename/Trel_renamecheck.h"
#include "framework/Fw_forms.h"

#include <array>
#include <string>

// The counts the dialog shows: entries per reason, the entries that would
// fail (an entry may have several reasons), and those that a safe order
// would serve.
struct TCheckCounts {
    std::array<int, kCheckReasonCount> Reasons{};
    int Failing = 0;
    int SafeOrderServes = 0;
};

// "No problems found." when nothing would fail; otherwise how many entries
// would fail, and that they are selected.
std::string CheckSummaryText(int failing);
// The caption of a reason's row, as "Invalid new name:".
const char* CheckReasonCaption(TCheckReason reason);

class TTrelCheckDialog : public TForm {
public:
    TTrelCheckDialog();

    // Writes the summary and the counts into the labels, then shows the
    // dialog modally.
    void Display(const TCheckCounts& counts);

    TLabel* SummaryLabel;
    TGroupBox* ReasonsGroupBox;
    // One row per reason, in the order of TCheckReason.
    TLabel* CaptionLabels[kCheckReasonCount];
    TLabel* ValueLabels[kCheckReasonCount];
    // How many entries a safe order would serve.
    TLabel* SafeOrderValue;
    // Closes with OK; answers Esc and Enter.
    TButton* CloseButton;
};
