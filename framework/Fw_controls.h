// The controls of forms, created from tables, and the window that holds them.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_handles.h"
#include "framework/Fw_messages.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// The text of a window in the program's code page, read in UTF-16: the ANSI
// text of a character that the code page lacks (typed or pasted into an edit
// box) would be a look-alike or "?", and a lone surrogate a substitute. Such a
// text raises EConvertError rather than come back as something the user did
// not see.
std::string ControlText(HWND window);

// Forms are laid out in design pixels at this resolution.
constexpr int DesignPixelsPerInch = 120;
// A design size in pixels at the given resolution.
int ScaleDesign(int value, int pixelsPerInch);

enum TControlKind {
    ckLabel,
    ckButton,
    ckProgressBar,
    ckGroupBox,
    ckImage,
    ckEdit,
    ckComboBox,
    ckCheckBox,
    ckRadioButton,
    ckPanel,
    ckToolBar,
    ckStatusBar,
    ckListView,
};

// Flags of a control in a form's table.
enum TControlOption : unsigned {
    coNone = 0,
    coDefault = 1u << 0,          // button: Enter clicks it
    coCancel = 1u << 1,           // button: Esc clicks it
    coNoPrefix = 1u << 2,         // label: an ampersand is shown, not an accelerator
    coCenterVertically = 1u << 3, // label: one line of text in the vertical middle
    coMultiLine = 1u << 4,        // edit: several lines, both scroll bars, no word wrap
    coDisabled = 1u << 5,
    coHidden = 1u << 6,
    coMultiSelect = 1u << 7, // list view: several rows can be selected
    coRowSelect = 1u << 8,   // list view: the whole row is highlighted
    coEditLabels = 1u << 9,  // list view: captions can be edited in place
};

// How a control follows the size of its parent (the form or a panel): at the
// top or the bottom at its own height and the full width, or filling what
// the others leave. Aligned controls are placed in table order.
enum TAlign { alNone, alTop, alBottom, alClient };

// One row of a form's table of controls. Places and sizes are design pixels at
// 120 pixels per inch; the form scales them to the screen. A control inside a
// group box names it as Parent and is placed relative to it; a control inside
// a panel names the panel and is a child window of it.
struct TControlDef {
    TControlKind Kind;
    const char* Name;
    int Left;
    int Top;
    int Width;
    int Height;
    // The text; for a combo box its items, one per line.
    const char* Caption = "";
    unsigned Options = coNone;
    // For a button: the form's modal result when it is clicked (0: none).
    int ModalResult = 0;
    const char* Parent = nullptr;
    TAlign Align = alNone;
};

class TControl;

// The window that holds controls (a form): its handle, resolution and font,
// its controls in tab order, the modal result its buttons set, and the
// layout of its aligned controls.
class TControlHost : public TObject {
public:
    ~TControlHost() override;

    HWND Handle() const { return FHandle.Get(); }
    int PixelsPerInch() const { return FPixelsPerInch; }
    int Scale(int designValue) const { return ScaleDesign(designValue, FPixelsPerInch); }
    HFONT Font() const { return FFont.Get(); }
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl& Controls(int index) const;
    TControl* FindControl(const std::string& name) const;
    // The control whose window this is, or null.
    TControl* ControlOfHandle(HWND window) const;

    // Places the visible aligned controls of the host's client area: the top
    // and bottom ones in table order at their own heights, the client one in
    // the rest; then the same inside each panel.
    void RealignControls();

protected:
    TControlHost() = default;
    // Frees the controls, the last created first (children before panels).
    void FreeControls();

    TWindowHandle FHandle;
    TFontHandle FFont;
    int FPixelsPerInch = DesignPixelsPerInch;
    int FModalResult = mrNone;
    std::vector<std::unique_ptr<TControl>> FControls;

private:
    friend class TControl;
    void AlignWithin(const TControl* parent, RECT area);

    // Above IDOK and IDCANCEL, which the dialog keys send.
    int FNextID = 100;
};

// A child window of a form. The form creates, places and frees it.
class TControl : public TObject {
public:
    ~TControl() override;

    TControlHost& Host() const { return FHost; }
    const std::string& Name() const { return FName; }
    TControlKind Kind() const { return FKind; }
    HWND Handle() const { return FHandle.Get(); }
    int ID() const { return FID; }
    // The place in design pixels, relative to the form's client area.
    const RECT& DesignBounds() const { return FDesignBounds; }
    const std::string& ParentName() const { return FParentName; }
    // The group box or panel named as Parent, or null.
    TControl* ParentControl() const { return FParent; }
    TAlign Align() const { return FAlign; }

    std::string GetText() const;
    void SetText(const std::string& text);
    bool IsEnabled() const;
    void SetEnabled(bool value);
    bool IsVisible() const;
    void SetVisible(bool value);
    // Whether the keyboard can reach it: a tab stop, enabled and visible.
    bool CanFocus() const;
    void Focus();
    bool IsFocused() const;

    // What the form hands on. A notification code of WM_COMMAND from this
    // control:
    virtual void Notify(WORD code);
    // WM_NOTIFY from this control; Message.Result is the answer:
    virtual void HandleNotify(TMessage& Message);
    // The context-menu gesture on this control, at a point of the screen, or
    // at (-1, -1) from the keyboard; true when the control showed a menu:
    virtual bool ContextMenu(POINT screenPoint);
    // Places the control for the form's pixels per inch.
    virtual void ApplyScale();
    // The height of a control aligned at the top or bottom, in pixels.
    virtual int PreferredHeight() const;
    // A panel: the controls that name it as Parent are its child windows.
    virtual bool IsContainer() const { return false; }

protected:
    TControl(TControlHost& host, const TControlDef& def, const RECT& designBounds, const char* className,
             DWORD style, DWORD exStyle);

private:
    TControlHost& FHost;
    std::string FName;
    TControlKind FKind;
    RECT FDesignBounds;
    std::string FParentName;
    TControl* FParent;
    TAlign FAlign;
    int FID;
    TWindowHandle FHandle;
};

class TLabel : public TControl {
public:
    TLabel(TControlHost& host, const TControlDef& def, const RECT& designBounds);
};

class TButton : public TControl {
public:
    TButton(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    bool IsDefault() const { return FDefault; }
    bool IsCancel() const { return FCancel; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    // Sets the form's modal result (if the button has one), then calls OnClick.
    virtual void Click();

    TNotifyEvent OnClick;

protected:
    void Notify(WORD code) override;

private:
    bool FDefault;
    bool FCancel;
    int FModalResult;
};

// The base of check boxes and radio buttons: a button with a check mark.
class TButtonControl : public TControl {
public:
    bool IsChecked() const;
    virtual void SetChecked(bool value);

    TNotifyEvent OnClick;

protected:
    using TControl::TControl;
};

class TCheckBox : public TButtonControl {
public:
    TCheckBox(TControlHost& host, const TControlDef& def, const RECT& designBounds);

protected:
    void Notify(WORD code) override;
};

// The radio buttons with one parent (the form or a group box) form a group:
// checking one unchecks the others.
class TRadioButton : public TButtonControl {
public:
    TRadioButton(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    void SetChecked(bool value) override;

protected:
    void Notify(WORD code) override;
};

class TGroupBox : public TControl {
public:
    TGroupBox(TControlHost& host, const TControlDef& def, const RECT& designBounds);
};

// A bar from 0 to 100.
class TProgressBar : public TControl {
public:
    TProgressBar(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    int GetPosition() const;
    void SetPosition(int value);
};

// A picture centred in its place.
class TImage : public TControl {
public:
    TImage(TControlHost& host, const TControlDef& def, const RECT& designBounds);
    ~TImage() override;

    // Shows the icon; the control owns it from now on.
    void SetIcon(TIconHandle icon);

private:
    TIconHandle FIcon;
};

class TEdit : public TControl {
public:
    TEdit(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    // ---- the memo: an edit made with coMultiLine
    // A memo takes texts of any length (a typed-in text too).
    bool IsMultiLine() const;
    // The control's lines, less one when the last is empty: a text of N lines
    // each ended by CR LF has N. Costs no more than a walk of the control's
    // lines (never a read of each line).
    int LineCount() const;
    // The caret's place (or the selection) in characters from the start.
    void SetSelection(int start, int end);
    // Scrolls the caret into view.
    void ScrollCaret();
    // ---- end of the memo

    TNotifyEvent OnChange;

protected:
    void Notify(WORD code) override;
};

// The lines of a text: a line ends at CR LF, CR or LF, and a line end at the
// very end starts no further line (so an empty text has no line, and a text
// of N lines each ended by CR LF has N). The text ends at its first zero byte.
// TStrings::SetText makes exactly this many strings; a memo holding the text
// counts as many when every line end is CR LF.
int TextLineCount(const std::string& text);

// A drop-down list.
class TComboBox : public TControl {
public:
    TComboBox(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    int Count() const;
    int AddItem(const std::string& item);
    std::string Item(int index) const;
    // -1 when nothing is selected.
    int GetItemIndex() const;
    void SetItemIndex(int index);

    TNotifyEvent OnChange;

protected:
    void Notify(WORD code) override;
    void ApplyScale() override;
};
