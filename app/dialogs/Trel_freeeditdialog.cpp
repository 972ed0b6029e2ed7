#include "app/dialogs/Trel_freeeditdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckEdit, "Memo11", 10, 15, 446, 321, "", coMultiLine},
    {ckButton, "Button91", 250, 350, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 350, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

std::string MemoLineBreaks(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t p = 0; p < text.size(); ++p) {
        if (text[p] == '\r' || text[p] == '\n') {
            result += "\r\n";
            if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n')
                ++p;
        } else {
            result += text[p];
        }
    }
    return result;
}

std::string FreeEditDialogText(const std::string& memoText, std::int32_t lineCount) {
    if (TextLineCount(memoText) != lineCount)
        throw EInvalidOperation(kLineCountMismatch);
    return memoText;
}

TTrelFreeEditDialog::TTrelFreeEditDialog() : TForm({"Free Edit", 466, 386, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    Memo = &Control<TEdit>("Memo11");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    Memo->OnChange = [this](TObject*) { UpdateControls(); };
}

bool TTrelFreeEditDialog::Execute() {
    Memo->SetText(std::string());
    Memo->SetText(MemoLineBreaks(Values.Text));
    Memo->SetSelection(0, 0);
    Memo->ScrollCaret();
    if (Memo->LineCount() != Values.LineCount)
        throw EInvalidOperation(kLineCountMismatch);
    // The counts match: the rule enables OK.
    OkButton->SetEnabled(true);
    return ShowModal() == mrOk;
}

void TTrelFreeEditDialog::UpdateControls() {
    OkButton->SetEnabled(Memo->LineCount() == Values.LineCount);
}

bool TTrelFreeEditDialog::CloseQuery() {
    return CloseWithValues(*this, Values.Text,
                           [this] { return FreeEditDialogText(Memo->GetText(), Values.LineCount); });
}
