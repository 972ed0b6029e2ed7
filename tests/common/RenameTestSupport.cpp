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

TRenameBench::TRenameBench() : FModel(FView.Handle()) {}

TRenameItem* TRenameBench::AddItem(const std::string& path, const std::string& newName) {
    auto* item = new TRenameItem(path);
    FItems.Add(item);
    item->NewName = newName;
    FModel.Items(FModel.Add())->SetData(item);
    FModel.WriteToView(false);
    return item;
}

std::vector<TRenameItemResult> TRenameBench::Results() {
    std::vector<TRenameItemResult> results;
    for (int row = 0; row < FModel.Count(); ++row)
        results.push_back(Item(row)->Result);
    return results;
}

template <class F>
std::string TRenameBench::Run(F&& step) {
    const int cancelAt = Probe.CancelAt;
    const int presses = Probe.Presses;
    Probe = TRenameProbe();
    Probe.CancelAt = cancelAt;
    Probe.Presses = presses;
    return Outcome(step);
}

std::string TRenameBench::Perform() {
    return Run([this] {
        FInvoker.PendingCommands().Add(new TProbeRenameCommand(FModel, Probe));
        FInvoker.Execute();
    });
}

std::string TRenameBench::Restore() {
    return Run([this] { FInvoker.Undo(); });
}

std::string TRenameBench::Repeat() {
    return Run([this] { FInvoker.Redo(); });
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
