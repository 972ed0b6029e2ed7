// The Name menu's operations through the name handler over 200,000 selected
// rows of a real owner-data list view: each figure takes in the dialog shown
// and accepted, the selection read from the control, every new name made,
// the command run and the rows written back. Free Edit also puts all the
// names into the memo and takes them out again: the memo's own figures show
// what of it the edit control takes (under Wine it lays out every line when
// the text is set). Beside them, the edit control's line reads one by one,
// which grow with the square of the lines under Wine.
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "app/handlers/Trel_namehandler.h"
#include "app/names/Trel_presets.h"
#include "app/names/Trel_rename.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_handles.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 200000;

// Presses OK in every modal dialog once it is shown, as a user who accepts
// what it offers.
void AcceptEveryDialog() {
    Application->OnIdle = [](TObject*, bool&) {
        TForm* form = TForm::FromHandle(Application->ActiveOwner());
        if (form && form->IsModal() && form->GetModalResult() == mrNone && form->DefaultButton())
            PostMessageA(form->DefaultButton()->Handle(), BM_CLICK, 0, 0);
    };
}

std::string NewNameOf(TListViewModel& model, int row) {
    return static_cast<TRenameItem*>(model.Items(row)->GetData())->NewName;
}

// The edit control's own way to the lines: its line count, then each line
// read by its index.
double ReadLinesOneByOne(HWND edit, int& lines) {
    return Milliseconds([&] {
        lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
        std::vector<char> buffer(512);
        for (int i = 0; i < lines; ++i) {
            *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size() - 1);
            SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()));
        }
    });
}

// The five steps of a photo preset: numbers at the tail of the base name,
// "photo" replaced, the name as a book title, a text at the head, the
// extension in upper case.
TPreset PhotoPreset() {
    TPreset preset{"Photos", std::vector<TNameStep>(5)};
    std::vector<TNameStep>& s = preset.Steps;
    s[0].Operation = noInsert;
    s[0].Position = ipTail;
    s[0].Source.Kind = skNumber;
    s[0].Source.Specs.Number.Prefix = " #";
    s[0].Source.Specs.Number.Digits = 6;
    s[1].Operation = noReplace;
    s[1].Part = pkName;
    s[1].OldText = "photo";
    s[1].Source.Specs.Custom.Text = "image";
    s[2].Operation = noCapitalize;
    s[2].Part = pkName;
    s[2].Case = ccBookTitle;
    s[3].Operation = noInsert;
    s[3].Source.Specs.Custom.Text = "2024 ";
    s[4].Operation = noCapitalize;
    s[4].Part = pkExtension;
    s[4].Case = ccUpperCase;
    return preset;
}

// Goals: the preset applied in at most 1.5 s under Wine, its Undo in 0.3 s;
// the preview never holds up typing for longer than a slice.
void MeasurePreset(TNameHandler& handler, TInvoker& invoker, TListViewModel& model) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "trelvane-bench-Presets.ini";
    DeleteFileA(file.c_str());
    handler.Presets().SetFileName(file);
    handler.Presets().Save(PhotoPreset());
    std::printf("\nThe five-step preset through the handler (the selection, the names, one command, the rows):\n");
    double cpu = ThreadCpuMilliseconds();
    double ms = Milliseconds([&] { handler.ApplyPreset("Photos"); });
    std::printf("  %-44s %8.1f ms (%.0f ms processor)   last name now \"%s\"\n", "Preset applied", ms,
                ThreadCpuMilliseconds() - cpu, NewNameOf(model, kRows - 1).c_str());
    cpu = ThreadCpuMilliseconds();
    ms = Milliseconds([&] { invoker.Undo(); });
    std::printf("  %-44s %8.1f ms (%.0f ms processor)   last name now \"%s\"\n", "Its Undo", ms,
                ThreadCpuMilliseconds() - cpu, NewNameOf(model, kRows - 1).c_str());
    DeleteFileA(file.c_str());

    std::printf("\nOne update of a dialog's preview line over the %d names (as the dialog runs it):\n", kRows);
    TNames names;
    for (int i = 0; i < kRows; ++i)
        names.push_back(NewNameOf(model, i));
    for (const TNameStep& step : {PhotoPreset().Steps[0], PhotoPreset().Steps[1]}) {
        TStepPreview preview(step, names);
        double longest = 0;
        const double whole = Milliseconds([&] {
            for (bool done = false; !done;)
                longest = std::max(longest, Milliseconds([&] { done = preview.Advance(256); }));
        });
        std::printf("  %-44s %8.1f ms whole, the longest slice %.1f ms\n    \"%s\"\n",
                    DescribeStep(step).substr(0, 44).c_str(), whole, longest, preview.Text().c_str());
    }
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    TWindowHandle window(CreateWindowExA(0, "STATIC", "Trelvane benchmark", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                                         600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    HWND listView =
        CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 780,
                        560, window.Get(), nullptr, GetModuleHandleA(nullptr), nullptr);
    std::printf("%d selected rows of an owner-data list view, code page %u\n\n", kRows, GetACP());

    TListViewModel model(listView);
    TInvoker invoker;
    TObjectList items;
    model.ReadFromView(true);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    for (int i = 0; i < kRows; ++i) {
        auto* item = new TRenameItem(folder); // any path that exists
        items.Add(item);
        item->NewName = "holiday photo " + std::to_string(i) + " (edited).JPEG";
        model.Items(model.Add())->SetData(item);
    }
    model.WriteToView(true);
    LVITEMA all = {};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageA(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    TNameHandler handler(model, items, invoker);
    AcceptEveryDialog();

    TTrelInsertDialog& insert = Application->Dialog<TTrelInsertDialog>();
    insert.Values.Part = pkBaseName;
    insert.Values.Position = ipTail;
    insert.Values.Source.Kind = skNumber;
    insert.Values.Source.Specs.Number.Prefix = " #";
    insert.Values.Source.Specs.Number.Digits = 6;
    TTrelReplaceDialog& replace = Application->Dialog<TTrelReplaceDialog>();
    replace.Values.Part = pkName;
    replace.Values.OldText = "PHOTO";
    replace.Values.Source.Kind = skCustom;
    replace.Values.Source.Specs.Custom.Text = "image";
    TTrelCapitalizeDialog& capitalize = Application->Dialog<TTrelCapitalizeDialog>();
    capitalize.Values.Part = pkName;
    capitalize.Values.Case = ccBookTitle;
    Application->Dialog<TTrelPartDialog>().Values = pkBaseName;

    const struct {
        const char* what;
        std::function<void()> run;
    } operations[] = {
        {"Insert numbers at the tail of the base name", [&] { handler.Insert(); }},
        {"Replace, match case off", [&] { handler.Replace(); }},
        {"Replace by the regular expression (\\d+)",
         [&] {
             // Goal: under 2 s under Wine, the pattern compiled once.
             replace.Values.OldText = "(\\d+)";
             replace.Values.Source.Specs.Custom.Text = "#$1";
             replace.Values.RegularExpression = true;
             handler.Replace();
         }},
        {"Capitalize the name as book titles", [&] { handler.Capitalize(); }},
        {"Undo of the last", [&] { invoker.Undo(); }},
        {"Redo of it", [&] { invoker.Redo(); }},
        {"Free Edit of the base names, accepted", [&] { handler.FreeEdit(); }},
    };
    std::printf("Through the handler (the dialog, the selection, the names, the rows):\n");
    for (const auto& operation : operations) {
        const double ms = Milliseconds(operation.run);
        std::printf("  %-44s %8.1f ms   last name now \"%s\"\n", operation.what, ms,
                    NewNameOf(model, kRows - 1).c_str());
    }
    Application->OnIdle = nullptr;
    std::printf("  %d commands on the history\n", invoker.UndoCommands().Count());
    MeasurePreset(handler, invoker, model);

    // The memo on its own, with the text Free Edit gave it: how much of the
    // operation the edit control takes to lay the lines out.
    TTrelFreeEditDialog& freeEdit = Application->Dialog<TTrelFreeEditDialog>();
    const std::string text = MemoLineBreaks(freeEdit.Values.Text);
    std::printf("\nThe memo with %d lines (%zu bytes):\n", freeEdit.Values.LineCount, text.size());
    TEdit& memo = *freeEdit.Memo;
    memo.SetText(std::string());
    const double setMs = Milliseconds([&] { memo.SetText(text); });
    int lines = 0;
    const double countMs = Milliseconds([&] { lines = memo.LineCount(); });
    std::string back;
    const double getMs = Milliseconds([&] { back = memo.GetText(); });
    const double checkMs = Milliseconds([&] { lines = TextLineCount(back); });
    std::printf("  %-44s %8.1f ms   (the edit control lays out each line)\n", "text set (WM_SETTEXT)", setMs);
    std::printf("  %-44s %8.1f ms\n", "lines counted by the control", countMs);
    std::printf("  %-44s %8.1f ms   %zu bytes%s\n", "text read back (WM_GETTEXT)", getMs, back.size(),
                back == text ? "" : "   TEXT DIFFERS");
    std::printf("  %-44s %8.1f ms   %d lines\n", "lines of the text counted (closing check)", checkMs, lines);

    std::printf("\nThe edit control's own line count and line reads, for comparison:\n");
    for (const int count : {5000, 10000, 20000}) {
        std::string part;
        for (int i = 0; i < count; ++i)
            part += "holiday photo " + std::to_string(i) + " (edited)\r\n";
        memo.SetText(part);
        int read = 0;
        const double oneByOne = ReadLinesOneByOne(memo.Handle(), read);
        const double counted = Milliseconds([&] { read = memo.LineCount(); });
        const double whole = Milliseconds([&] { read = TextLineCount(memo.GetText()); });
        std::printf("  %6d lines: one by one %9.1f ms; counted by the control %6.2f ms; whole text read and "
                    "counted %6.1f ms\n",
                    count, oneByOne, counted, whole);
    }
    Application->FreeForms();
    return 0;
}
