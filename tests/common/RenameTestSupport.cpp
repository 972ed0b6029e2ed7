#include "tests/common/RenameTestSupport.h"

#include "tests/common/FormTestSupport.h"

#include <gtest/gtest.h>

bool PressCancel(TTrelProgressDialog& dialog) {
    dialog.CommandButton->Click();
    return dialog.CloseQuery();
}

void TProbeRenameCommand::DoProgress(TTrelProgressDialog& dialog, int percent) {
    TRenameCommand::DoProgress(dialog, percent);
    FProbe.Percents.push_back(dialog.GetPosition());
    const bool pressed = !FProbe.EnabledAfterPress.empty();
    if (!dialog.IsVisible() || !dialog.IsModal() || dialog.GetCaption() != "Rename" ||
        dialog.MessageLabel->GetText() != "Renaming..." || dialog.CommandButton->GetText() != "Cancel" ||
        dialog.CommandButton->IsEnabled() == pressed)
        FProbe.DialogAsExpected = false;
    if (percent != FProbe.CancelAt)
        return;
    for (int press = 0; press < FProbe.Presses; ++press) {
        FProbe.CloseAllowed.push_back(PressCancel(dialog));
        FProbe.EnabledAfterPress.push_back(dialog.CommandButton->IsEnabled());
    }
}

TListBench::TListBench() : FModel(FView.Handle()) {}

TRenameItem* TListBench::Item(const std::string& oldName) {
    for (int i = 0; i < FItems.Count(); ++i)
        if (auto* item = static_cast<TRenameItem*>(FItems.Items(i)); item->OldName == oldName)
            return item;
    ADD_FAILURE() << "no item " << oldName;
    return nullptr;
}

void TListBench::Run(TCommand* command) {
    FInvoker.PendingCommands().Add(command);
    FInvoker.Execute();
}

std::string TListBench::RowsBy(std::string TRenameItem::*name, UINT marks) {
    EXPECT_EQ(FView.Count(), FModel.Count()) << "the control shows another number of rows";
    std::vector<std::string> names;
    for (int row = 0; row < FModel.Count(); ++row)
        names.push_back(Item(row)->*name);
    return ListRows(FView.Handle(), names, marks);
}

std::string TListBench::History() {
    return std::to_string(FInvoker.UndoCommands().Count()) + " undo, " +
           std::to_string(FInvoker.RedoCommands().Count()) + " redo";
}

std::string TListBench::Results() {
    std::string results;
    for (int row = 0; row < FModel.Count(); ++row)
        results += "NSFK"[static_cast<int>(Item(row)->Result)];
    return results;
}

TRenameItem* TRenameBench::AddItem(const std::string& path, const std::string& newName) {
    auto* item = new TRenameItem(path);
    FItems.Add(item);
    item->NewName = newName;
    FModel.Items(FModel.Add())->SetData(item);
    FModel.WriteToView(false);
    return item;
}

template <class F>
std::string TRenameBench::Probed(F&& step) {
    const int cancelAt = Probe.CancelAt;
    const int presses = Probe.Presses;
    Probe = TRenameProbe();
    Probe.CancelAt = cancelAt;
    Probe.Presses = presses;
    return Outcome(step);
}

std::string TRenameBench::Perform() {
    return Probed([this] {
        auto* command = new TProbeRenameCommand(FModel, Probe);
        command->JournalFolders = {Journals()};
        command->Plan = std::move(Plan);
        Plan = TRenamePlan();
        Run(command);
    });
}

std::string TRenameBench::Restore() {
    return Probed([this] { FInvoker.Undo(); });
}

std::string TRenameBench::Repeat() {
    return Probed([this] { FInvoker.Redo(); });
}

TRenameCommand* TRenameBench::LastRename() {
    return FInvoker.CanUndo() ? dynamic_cast<TRenameCommand*>(FInvoker.GetLastUndo()) : nullptr;
}

std::string Outcome(const std::function<void()>& call) {
    TIdleScript watchdog({});
    try {
        call();
    } catch (const EAbort& e) {
        return "abort: " + e.Message();
    } catch (const ERenameError& e) {
        return "rename: " + e.Message();
    } catch (const Exception& e) {
        return "other: " + e.Message();
    }
    return "";
}

std::string AbortOutcome() {
    return "abort: Operation aborted.";
}

std::string RenameFailedOutcome() {
    return "rename: The program could not rename the file.";
}

