// Actions: the commands of a window, each with its caption, hint, shortcut,
// image and states, shown by menu items and tool buttons that follow it.
#pragma once

#include "framework/Fw_classes.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A key with its modifiers: the virtual-key code in the low byte, the
// modifiers in the high bits. 0 is no shortcut.
using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut ShortCut(WORD virtualKey, TShortCut modifiers = scNone) {
    return static_cast<TShortCut>((virtualKey & 0xFF) | modifiers);
}
// The shortcut of a WM_KEYDOWN or WM_SYSKEYDOWN message with the modifier
// keys held as the message is handled; scNone for a modifier key alone.
TShortCut ShortCutOfKeyMessage(const MSG& msg);

class TAction;
class TActionList;

// Something that shows an action (a menu item, a tool button) and follows its
// changes. An action that goes first lets its links go.
class TActionLink {
public:
    TActionLink() = default;
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;
    virtual ~TActionLink();

    TAction* Action() const { return FAction; }
    void SetAction(TAction* action);

protected:
    // The caption, hint, shortcut, image or a state of the action changed.
    virtual void ActionChanged();

private:
    friend class TAction;
    TAction* FAction = nullptr;
};

// Flags of an action in a table.
enum TActionOption : unsigned {
    aoNone = 0,
    aoAutoCheck = 1u << 0, // a check item: choosing it flips Checked before OnExecute
    aoChecked = 1u << 1,
    aoDisabled = 1u << 2,
};

// One row of an action table.
struct TActionDef {
    const char* Name;
    // With '&' before the access key.
    const char* Caption;
    TShortCut ShortCut = scNone;
    int ImageIndex = -1;
    // The tool tip; null: the caption without its '&'.
    const char* Hint = nullptr;
    unsigned Options = aoNone;
};

using TActionEvent = std::function<void(TAction& Sender)>;

class TAction : public TObject {
public:
    ~TAction() override;

    TActionList& ActionList() const { return FList; }
    const std::string& Name() const { return FName; }
    // The first word of the name: "File" for FileNewAc.
    const std::string& Category() const { return FCategory; }
    // The identifier of WM_COMMAND that the action's menu items and tool
    // buttons send; posting it to the form executes the action.
    int CommandId() const { return FCommandId; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }

    // Runs the action: nothing when disabled; a check item flips its checked
    // state first. True when it ran.
    bool Execute();
    // What a user's choice does (a menu item, a shortcut, a tool button): the
    // states are brought up to date first (the list's update), then Execute.
    bool Choose();

    TActionEvent OnExecute;
    // The action's own update, unless the list's update reports it handled.
    TActionEvent OnUpdate;

private:
    friend class TActionList;
    friend class TActionLink;
    TAction(TActionList& list, const TActionDef& def, int commandId);
    void Changed();

    TActionList& FList;
    std::string FName;
    std::string FCategory;
    int FCommandId;
    std::string FCaption;
    std::string FHint;
    TShortCut FShortCut;
    int FImageIndex;
    bool FEnabled;
    bool FChecked;
    bool FAutoCheck;
    std::vector<TActionLink*> FLinks;
};

// Handled true: the framework updates no action itself.
using TActionListUpdateEvent = std::function<void(TActionList& Sender, bool& Handled)>;

// The first command identifier of an action list: above the identifiers of
// controls, which count up from 100, and below the system's (0xF000).
constexpr int FirstActionCommandId = 0x4000;

// The actions of a window, in table order. Their command identifiers count up
// from the first one; two lists of one form need different first ones.
class TActionList : public TObject {
public:
    explicit TActionList(int firstCommandId = FirstActionCommandId);
    ~TActionList() override;

    template <size_t N>
    void AddActions(const TActionDef (&defs)[N]) {
        for (const TActionDef& def : defs)
            Add(def);
    }
    TAction& Add(const TActionDef& def);
    // Frees every action (their links let go); the next one added gets the
    // first command identifier again.
    void Clear();

    int Count() const { return static_cast<int>(FActions.size()); }
    TAction& Actions(int index) const;
    // The named action; a missing one is a fault of a table and throws
    // EInvalidOperation.
    TAction& Action(const std::string& name) const;
    TAction* Find(const std::string& name) const;
    TAction* FindByCommand(int commandId) const;
    TAction* FindByShortCut(TShortCut shortCut) const;

    // The update, run when the application is idle and before a user's
    // choice: OnUpdate, then, unless it reports the update handled, every
    // action's own OnUpdate.
    void UpdateActions();
    // Chooses the action of the command identifier; false when the list has
    // none of that identifier.
    bool ExecuteCommand(int commandId);
    // Chooses the enabled action of the shortcut; false when none took it, so
    // that the key goes on to the control with the focus.
    bool IsShortCut(TShortCut shortCut);

    TActionListUpdateEvent OnUpdate;

private:
    int FFirstCommandId;
    std::vector<std::unique_ptr<TAction>> FActions;
};
