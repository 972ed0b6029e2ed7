#include "app/handlers/Trel_namehandler.h"

#include "app/commands/Trel_nameeditcommand.h"
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_overwritedialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "app/dialogs/Trel_urlencodingdialog.h"
#include "app/names/Trel_rename.h"
#include "framework/Fw_clipbrd.h"
#include "framework/Fw_forms.h"
#include "support/Vek_list.h"

namespace {

// The program's dialog of the class, shown; a cancel ends the operation.
template <class TDialog>
TDialog& Accepted() {
    TDialog& dialog = Application->Dialog<TDialog>();
    if (!dialog.Execute())
        Abort();
    return dialog;
}

TRenameItem* ItemOf(TListViewModelItem* row) {
    return static_cast<TRenameItem*>(row->GetData());
}

} // namespace

void TNameHandler::EditSelected(const TSrcLinesSpecs* source, TStrings& lines, const TNewName& newName,
                                bool matcherStack) {
    TAutoPointer<TNameEditCommand> command(new TNameEditCommand(Model()));
    TListViewModel& model = Model();
    model.ReadFromView(true);
    const int selected = model.SelectedCount();
    TObjectList& subCommands = command->SubCommands().PendingCommands();
    subCommands.SetCapacity(selected);
    if (source)
        source->GetLines(selected, lines);
    // The selected rows in list order, whatever order they were selected in.
    // Only the model's memory is read here, no window.
    const auto makeNames = [&] {
        for (int row = 0, k = 0; k < selected; ++row) {
            TListViewModelItem* entry = model.Items(row);
            if (!entry->GetSelected())
                continue;
            TRenameItem* item = ItemOf(entry);
            AddNew<TSetSubCommand>(subCommands, item, newName(item->NewName, k));
            ++k;
        }
    };
    if (matcherStack)
        RunWithMatcherStack(makeNames);
    else
        makeNames();
    ExecuteCommand(Invoker(), command);
}

void TNameHandler::SelectedParts(TPartKind part, TStrings& parts) {
    TListViewModel& model = Model();
    model.ReadFromView(true);
    const int selected = model.SelectedCount();
    TStringList result;
    result.SetCapacity(selected);
    for (int row = 0; result.Count() < selected; ++row) {
        TListViewModelItem* entry = model.Items(row);
        if (entry->GetSelected())
            result.Add(TRenameName(ItemOf(entry)->NewName).GetPart(part));
    }
    parts.Assign(result);
}

void TNameHandler::Copy() {
    const TPartKind part = Accepted<TTrelPartDialog>().Values;
    TStringList parts;
    SelectedParts(part, parts);
    TClipboard().SetText(parts.Text());
}

void TNameHandler::Insert() {
    const TTrelInsertDialogValues values = Accepted<TTrelInsertDialog>().Values;
    TStringList lines;
    EditSelected(&values.Source.GetCurrent(), lines, [&](const std::string& name, int k) {
        return InsertIntoPart(name, values.Part, values.Position, lines.Strings(k));
    });
}

void TNameHandler::Overwrite() {
    const TTrelOverwriteDialogValues values = Accepted<TTrelOverwriteDialog>().Values;
    TStringList lines;
    EditSelected(&values.Source.GetCurrent(), lines, [&](const std::string& name, int k) {
        return OverwritePart(name, values.Part, lines.Strings(k));
    });
}

void TNameHandler::Replace() {
    const TTrelReplaceDialogValues values = Accepted<TTrelReplaceDialog>().Values;
    TStringList lines;
    if (values.RegularExpression) {
        // Compiled once for all the names.
        const TNamePattern pattern(values.OldText, values.MatchCase);
        EditSelected(
            &values.Source.GetCurrent(), lines,
            [&](const std::string& name, int k) {
                return ReplaceMatchesInPart(name, values.Part, pattern, lines.Strings(k));
            },
            true);
        return;
    }
    EditSelected(&values.Source.GetCurrent(), lines, [&](const std::string& name, int k) {
        return ReplaceInPart(name, values.Part, values.OldText, lines.Strings(k), values.MatchCase);
    });
}

void TNameHandler::Capitalize() {
    const TTrelCapitalizeDialogValues values = Accepted<TTrelCapitalizeDialog>().Values;
    TStringList none;
    EditSelected(nullptr, none, [&](const std::string& name, int) {
        return CapitalizePart(name, values.Part, values.Case);
    });
}

void TNameHandler::UrlEncode() {
    const TTrelUrlEncodingDialogValues values = Accepted<TTrelUrlEncodingDialog>().Values;
    TStringList none;
    EditSelected(nullptr, none, [&](const std::string& name, int) {
        return UrlEncodePart(name, values.Part, values.Encoding);
    });
}

void TNameHandler::UrlDecode() {
    const TTrelUrlEncodingDialogValues values = Accepted<TTrelUrlEncodingDialog>().Values;
    TStringList none;
    EditSelected(nullptr, none, [&](const std::string& name, int) {
        return UrlDecodePart(name, values.Part, values.Encoding);
    });
}

void TNameHandler::FreeEdit() {
    const TPartKind part = Accepted<TTrelPartDialog>().Values;
    TStringList parts;
    SelectedParts(part, parts);
    TTrelFreeEditDialog& dialog = Application->Dialog<TTrelFreeEditDialog>();
    dialog.Values.Text = parts.Text();
    dialog.Values.LineCount = parts.Count();
    if (!dialog.Execute())
        Abort();
    // The dialog accepts only as many lines as there are parts, counted as
    // the text is split here.
    TStringList lines;
    lines.SetText(dialog.Values.Text);
    CheckLineCount(lines.Count(), parts.Count());
    EditSelected(nullptr, lines,
                 [&](const std::string& name, int k) { return OverwritePart(name, part, lines.Strings(k)); });
}

void TNameHandler::Enter(int index, const std::string& text) {
    TAutoPointer<TNameEditCommand> command(new TNameEditCommand(Model()));
    TObjectList& subCommands = command->SubCommands().PendingCommands();
    subCommands.SetCapacity(1);
    AddNew<TSetSubCommand>(subCommands, ItemOf(Model().Items(index)), text);
    ExecuteCommand(Invoker(), command);
}

void TNameHandler::LoadSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

void TNameHandler::SaveSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}
