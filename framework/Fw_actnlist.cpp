#include "framework/Fw_actnlist.h"

#include <algorithm>

namespace {

bool IsModifierKey(WPARAM key) {
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

// "FileNewAc" -> "File": up to the second capital letter.
std::string CategoryOf(const std::string& name) {
    size_t end = 1;
    while (end < name.size() && !(name[end] >= 'A' && name[end] <= 'Z'))
        ++end;
    return name.substr(0, std::min(end, name.size()));
}

// The caption without its access-key marks: "&&" stays one '&'.
std::string StripAccessKeys(const std::string& caption) {
    std::string result;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        result += caption[i];
    }
    return result;
}

} // namespace

TShortCut ShortCutOfKeyMessage(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || IsModifierKey(msg.wParam) ||
        msg.wParam > 0xFF)
        return scNone;
    TShortCut modifiers = scNone;
    if (GetKeyState(VK_SHIFT) < 0)
        modifiers |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        modifiers |= scCtrl;
    // The context code of a system key: Alt is down.
    if (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)))
        modifiers |= scAlt;
    return ShortCut(static_cast<WORD>(msg.wParam), modifiers);
}

// TActionLink

TActionLink::~TActionLink() {
    SetAction(nullptr);
}

void TActionLink::ActionChanged() {}

void TActionLink::SetAction(TAction* action) {
    if (FAction == action)
        return;
    if (FAction) {
        auto& links = FAction->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    FAction = action;
    if (FAction) {
        FAction->FLinks.push_back(this);
        ActionChanged();
    }
}

// TAction

TAction::TAction(TActionList& list, const TActionDef& def, int commandId)
    : FList(list), FName(def.Name ? def.Name : ""), FCategory(CategoryOf(FName)), FCommandId(commandId),
      FCaption(def.Caption ? def.Caption : ""), FHint(def.Hint ? def.Hint : StripAccessKeys(FCaption)),
      FShortCut(def.ShortCut), FImageIndex(def.ImageIndex), FEnabled(!(def.Options & aoDisabled)),
      FChecked((def.Options & aoChecked) != 0), FAutoCheck((def.Options & aoAutoCheck) != 0) {}

TAction::~TAction() {
    for (TActionLink* link : FLinks)
        link->FAction = nullptr;
}

void TAction::Changed() {
    // A copy: a link may let go of the action while it follows the change.
    const std::vector<TActionLink*> links = FLinks;
    for (TActionLink* link : links)
        link->ActionChanged();
}

void TAction::SetCaption(const std::string& value) {
    if (FCaption != value) {
        FCaption = value;
        Changed();
    }
}

void TAction::SetHint(const std::string& value) {
    if (FHint != value) {
        FHint = value;
        Changed();
    }
}

void TAction::SetShortCut(TShortCut value) {
    if (FShortCut != value) {
        FShortCut = value;
        Changed();
    }
}

void TAction::SetImageIndex(int value) {
    if (FImageIndex != value) {
        FImageIndex = value;
        Changed();
    }
}

void TAction::SetEnabled(bool value) {
    if (FEnabled != value) {
        FEnabled = value;
        Changed();
    }
}

void TAction::SetChecked(bool value) {
    if (FChecked != value) {
        FChecked = value;
        Changed();
    }
}

bool TAction::Execute() {
    if (!FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (OnExecute)
        OnExecute(*this);
    return true;
}

bool TAction::Choose() {
    FList.UpdateActions();
    return Execute();
}

// TActionList

TActionList::TActionList(int firstCommandId) : FFirstCommandId(firstCommandId) {}

TActionList::~TActionList() = default;

TAction& TActionList::Add(const TActionDef& def) {
    const int commandId = FFirstCommandId + Count();
    // Command identifiers travel in the low word of WM_COMMAND.
    if (commandId > 0xFFFF)
        throw EInvalidOperation("The action list holds too many actions.");
    FActions.push_back(std::unique_ptr<TAction>(new TAction(*this, def, commandId)));
    return *FActions.back();
}

void TActionList::Clear() {
    FActions.clear();
}

TAction& TActionList::Actions(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d).", index));
    return *FActions[static_cast<size_t>(index)];
}

TAction& TActionList::Action(const std::string& name) const {
    TAction* action = Find(name);
    if (!action)
        throw EInvalidOperation(Format("The action list has no action named %s.", name.c_str()));
    return *action;
}

TAction* TActionList::Find(const std::string& name) const {
    for (const auto& action : FActions)
        if (action->Name() == name)
            return action.get();
    return nullptr;
}

TAction* TActionList::FindByCommand(int commandId) const {
    const int index = commandId - FFirstCommandId;
    return index >= 0 && index < Count() ? FActions[static_cast<size_t>(index)].get() : nullptr;
}

TAction* TActionList::FindByShortCut(TShortCut shortCut) const {
    if (shortCut == scNone)
        return nullptr;
    for (const auto& action : FActions)
        if (action->ShortCut() == shortCut)
            return action.get();
    return nullptr;
}

void TActionList::UpdateActions() {
    bool handled = false;
    if (OnUpdate)
        OnUpdate(*this, handled);
    if (handled)
        return;
    for (const auto& action : FActions)
        if (action->OnUpdate)
            action->OnUpdate(*action);
}

bool TActionList::ExecuteCommand(int commandId) {
    TAction* action = FindByCommand(commandId);
    if (!action)
        return false;
    action->Choose();
    return true;
}

bool TActionList::IsShortCut(TShortCut shortCut) {
    TAction* action = FindByShortCut(shortCut);
    return action && action->Choose();
}
