// Forms, controls from tables, modal loops, dialog keys, the application's
// message loop and exception display: real windows under the virtual display.
#include "framework/Fw_forms.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

const TControlDef kSampleControls[] = {
    {ckLabel, "PartLabel", 10, 10, 121, 26, "&Part:"},
    {ckComboBox, "PartCombo", 135, 10, 321, 23, "Name\nBase name\nExtension"},
    {ckLabel, "TextLabel", 10, 40, 121, 26, "&Text:"},
    {ckEdit, "TextEdit", 135, 40, 321, 23},
    {ckCheckBox, "CaseCheck", 10, 70, 221, 26, "&Match case"},
    {ckRadioButton, "CustomRadio", 135, 100, 121, 26, "&Custom:"},
    {ckRadioButton, "NumberRadio", 135, 130, 121, 26, "&Number:"},
    {ckProgressBar, "Progress", 10, 160, 446, 26},
    {ckGroupBox, "Group", 10, 190, 446, 60, "Results"},
    {ckImage, "GroupIcon", 10, 20, 26, 26, "", coNone, mrNone, "Group"},
    {ckLabel, "GroupValue", 40, 20, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, "Group"},
    {ckRadioButton, "GroupRadio", 205, 20, 121, 26, "&Other", coNone, mrNone, "Group"},
    {ckButton, "OkButton", 250, 260, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "CancelButton", 355, 260, 101, 26, "Cancel", coCancel, mrCancel},
};

class TSampleForm : public TForm {
public:
    TSampleForm() : TForm({"Sample", 466, 296}) { CreateControls(kSampleControls); }
};

// A form with OK and Cancel only, for the keys and the modal loop.
const TControlDef kOkCancelControls[] = {
    {ckLabel, "Label", 10, 10, 200, 26, "Nothing to focus here"},
    {ckButton, "OkButton", 10, 50, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "CancelButton", 120, 50, 101, 26, "Cancel", coCancel, mrCancel},
};

class TOkCancelForm : public TForm {
public:
    TOkCancelForm() : TForm({"Keys", 240, 90}) { CreateControls(kOkCancelControls); }
};

class TMainForm : public TForm {
public:
    TMainForm() : TForm({"Main", 525, 402, bsSizeable, poDefault}) {}
};

// A visible main form for the duration of a test.
class TMainFormScope {
public:
    TMainFormScope() {
        Application->SetMainForm(&FForm);
        SetWindowPos(FForm.Handle(), nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        FForm.Show();
    }
    ~TMainFormScope() { Application->SetMainForm(nullptr); }
    TMainForm& Form() { return FForm; }

private:
    TMainForm FForm;
};

RECT ExpectedBounds(const TForm& form, const TControlDef& def, const TControlDef* parent) {
    const int left = def.Left + (parent ? parent->Left : 0);
    const int top = def.Top + (parent ? parent->Top : 0);
    return RECT{form.Scale(left), form.Scale(top), form.Scale(left) + form.Scale(def.Width),
                form.Scale(top) + form.Scale(def.Height)};
}

void ExpectTableLayout(const TForm& form) {
    SCOPED_TRACE(testing::Message() << "at " << form.PixelsPerInch() << " pixels per inch");
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, form.Scale(466));
    EXPECT_EQ(client.bottom, form.Scale(296));
    for (const TControlDef& def : kSampleControls) {
        SCOPED_TRACE(def.Name);
        const TControlDef* parent = nullptr;
        if (def.Parent)
            for (const TControlDef& other : kSampleControls)
                if (std::string(other.Name) == def.Parent)
                    parent = &other;
        const RECT expected = ExpectedBounds(form, def, parent);
        const RECT actual = ChildBounds(form.FindControl(def.Name)->Handle());
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right - expected.left);
        // A closed drop-down list is as high as its font makes it.
        if (def.Kind != ckComboBox) {
            EXPECT_EQ(actual.bottom - actual.top, expected.bottom - expected.top);
        }
    }
}

void SendDpiChanged(TForm& form, int pixelsPerInch) {
    RECT window;
    GetWindowRect(form.Handle(), &window);
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
                 reinterpret_cast<LPARAM>(&window));
}

} // namespace

TEST(ScaleDesign, ScalesFrom120PixelsPerInch) {
    const struct {
        int value;
        int pixelsPerInch;
        int expected;
    } cases[] = {
        {401, 120, 401}, {401, 96, 321}, {26, 96, 21},   {10, 96, 8},     {421, 144, 505},
        {101, 192, 162}, {0, 96, 0},     {-15, 96, -12}, {116, 168, 162}, {310, 240, 620},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleDesign(c.value, c.pixelsPerInch), c.expected) << c.value << " at " << c.pixelsPerInch;
}

TEST(Manifest, GivesCommonControls6AndPerMonitorAwareness) {
    // Only the buttons of the common controls 6 know their ideal size.
    TOkCancelForm form;
    SIZE ideal{};
    EXPECT_TRUE(SendMessageA(form.FindControl("OkButton")->Handle(), BCM_GETIDEALSIZE, 0,
                             reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);

    using TGetContext = HANDLE(WINAPI*)();
    using TGetAwareness = int(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto getContext = reinterpret_cast<TGetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto getAwareness = reinterpret_cast<TGetAwareness>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_NE(getContext, nullptr);
    ASSERT_NE(getAwareness, nullptr);
    EXPECT_EQ(getAwareness(getContext()), 2) << "per-monitor aware";
}

TEST(Form, ControlsComeOutAtTheScaledPlacesOfTheTable) {
    TSampleForm form;
    ExpectTableLayout(form);
    // At the design resolution the places are the table's own numbers.
    SendDpiChanged(form, 120);
    EXPECT_EQ(form.PixelsPerInch(), 120);
    ExpectTableLayout(form);
    EXPECT_EQ(ChildBounds(form.FindControl("GroupValue")->Handle()).left, 50);
    SendDpiChanged(form, 144);
    ExpectTableLayout(form);
    SendDpiChanged(form, 96);
    ExpectTableLayout(form);
}

TEST(Form, ControlsAreOfTheirKinds) {
    TSampleForm form;
    const struct {
        const char* name;
        const char* className;
        LONG_PTR styleBits;
    } cases[] = {
        {"PartLabel", "Static", 0},
        {"PartCombo", "ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP},
        {"TextEdit", "Edit", WS_TABSTOP | ES_AUTOHSCROLL},
        {"CaseCheck", "Button", BS_AUTOCHECKBOX | WS_TABSTOP},
        {"CustomRadio", "Button", BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP},
        {"Progress", PROGRESS_CLASSA, 0},
        {"Group", "Button", BS_GROUPBOX},
        {"GroupIcon", "Static", SS_ICON | SS_CENTERIMAGE},
        {"GroupValue", "Static", SS_NOPREFIX | SS_CENTERIMAGE},
        {"OkButton", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP},
        {"CancelButton", "Button", BS_PUSHBUTTON | WS_TABSTOP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = form.FindControl(c.name)->Handle();
        EXPECT_EQ(lstrcmpiA(ClassOf(window).c_str(), c.className), 0) << ClassOf(window);
        EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & c.styleBits, c.styleBits);
        EXPECT_EQ(GetParent(window), form.Handle());
    }
    // The second radio button of a run continues the first one's group.
    EXPECT_FALSE(GetWindowLongPtrA(form.FindControl("NumberRadio")->Handle(), GWL_STYLE) & WS_GROUP);
    auto& combo = form.Control<TComboBox>("PartCombo");
    ASSERT_EQ(combo.Count(), 3);
    EXPECT_EQ(combo.Item(1), "Base name");
    EXPECT_EQ(combo.GetItemIndex(), -1);
    EXPECT_EQ(form.Control<TProgressBar>("Progress").GetPosition(), 0);
    EXPECT_THROW(form.Control<TButton>("PartLabel"), EInvalidOperation);
    EXPECT_THROW(form.Control<TLabel>("NoSuchControl"), EInvalidOperation);
}

TEST(Form, AMemoTakesTextsBeyondTheSystemsDefaultLimit) {
    // The edit control's default limit is 32767 characters: a memo holding
    // a longer text must still take what the user types into it.
    static const TControlDef memoControls[] = {
        {ckEdit, "Memo", 10, 10, 446, 200, "", coMultiLine},
        {ckEdit, "Edit", 10, 220, 446, 23},
    };
    class TMemoForm : public TForm {
    public:
        TMemoForm() : TForm({"Memo", 466, 250}) { CreateControls(memoControls); }
    };
    TMemoForm form;
    auto& memo = form.Control<TEdit>("Memo");
    EXPECT_TRUE(memo.IsMultiLine());
    EXPECT_FALSE(form.Control<TEdit>("Edit").IsMultiLine());
    std::string text;
    for (int line = 0; line < 4000; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    ASSERT_GT(text.size(), 40000u);
    memo.SetText(text);
    EXPECT_EQ(memo.LineCount(), 4000);
    memo.SetSelection(static_cast<int>(text.size()), static_cast<int>(text.size()));
    PostText(memo.Handle(), "typed");
    EXPECT_TRUE(PollUntil([&] { return memo.GetText().size() == text.size() + 5; }))
        << memo.GetText().size() << " characters";
    EXPECT_EQ(memo.LineCount(), 4001) << "the typed last line counts";
}

TEST(Form, HasAFixedDialogBorder) {
    TSampleForm form;
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(form.GetCaption(), "Sample");
    form.SetCaption("Rename");
    EXPECT_EQ(form.GetCaption(), "Rename");
}

TEST(Form, AGroupBoxShowsTheFormsBackgroundBetweenItsControls) {
    TSampleForm form;
    form.Show();
    // Inside the group box, right of its last control: nothing but the box covers it.
    POINT inside{form.Scale(10 + 400), form.Scale(190 + 33)};
    ClientToScreen(form.Handle(), &inside);
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    COLORREF seen = CLR_INVALID;
    EXPECT_TRUE(PollUntil([&] {
        TScreenDC screen;
        seen = GetPixel(screen.Get(), inside.x, inside.y);
        return seen == background;
    })) << std::hex
        << "pixel " << seen << ", background " << background;
    form.Hide();
}

TEST(Form, RadioButtonsOfOneParentAreOneGroup) {
    TSampleForm form;
    auto& custom = form.Control<TRadioButton>("CustomRadio");
    auto& number = form.Control<TRadioButton>("NumberRadio");
    auto& other = form.Control<TRadioButton>("GroupRadio");
    int clicks = 0;
    number.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &number);
        ++clicks;
    };
    custom.SetChecked(true);
    other.SetChecked(true);
    EXPECT_TRUE(custom.IsChecked());
    SendMessageA(number.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(number.IsChecked());
    EXPECT_FALSE(custom.IsChecked());
    EXPECT_TRUE(other.IsChecked()) << "the group box holds a group of its own";
}

TEST(Form, ShowFocusesTheFirstControlInTabOrderAndCentresOnTheMainForm) {
    TMainFormScope main;
    TSampleForm form;
    form.Control<TComboBox>("PartCombo").SetEnabled(false);
    form.Show();
    EXPECT_TRUE(form.IsVisible());
    EXPECT_EQ(form.ActiveControl(), form.FindControl("TextEdit"))
        << "labels and disabled controls are skipped";
    RECT mainBounds;
    RECT bounds;
    GetWindowRect(main.Form().Handle(), &mainBounds);
    GetWindowRect(form.Handle(), &bounds);
    EXPECT_NEAR((bounds.left + bounds.right) / 2, (mainBounds.left + mainBounds.right) / 2, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (mainBounds.top + mainBounds.bottom) / 2, 1);
    // A second show starts from the first control again.
    form.Control<TButton>("OkButton").Focus();
    form.Hide();
    form.Show();
    EXPECT_EQ(form.ActiveControl(), form.FindControl("TextEdit"));
    form.Hide();
}

TEST(Form, TabAndAcceleratorsMoveTheFocus) {
    TSampleForm form;
    std::vector<std::string> focused;
    const auto record = [&] {
        TControl* active = form.ActiveControl();
        focused.push_back(active ? active->Name() : "(none)");
    };
    TIdleScript script({
        record,
        [] { PostKey(VK_TAB); },
        record,
        [] { PostKey(VK_TAB); },
        record,
        [] { PostAltKey('p'); },
        record,
        [] { PostAltKey('m'); },
        record,
        [&] { form.SetModalResult(mrCancel); },
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    const std::vector<std::string> expected = {"PartCombo", "TextEdit", "CaseCheck", "PartCombo",
                                               "CaseCheck"};
    EXPECT_EQ(focused, expected);
    EXPECT_TRUE(form.Control<TCheckBox>("CaseCheck").IsChecked()) << "Alt+M clicks the check box";
}

TEST(Form, EnterAndEscAnswerTheDefaultAndCancelButtons) {
    const struct {
        const char* what;
        std::function<void(TOkCancelForm&)> act;
        int expected;
    } cases[] = {
        {"Enter", [](TOkCancelForm&) { PostKey(VK_RETURN); }, mrOk},
        {"Esc", [](TOkCancelForm&) { PostKey(VK_ESCAPE); }, mrCancel},
        {"Enter on the focused Cancel button",
         [](TOkCancelForm& form) {
             form.Control<TButton>("CancelButton").Focus();
             PostKey(VK_RETURN);
         },
         mrCancel},
        {"close box", [](TOkCancelForm& form) { PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); },
         mrCancel},
        {"click",
         [](TOkCancelForm& form) { PostMessageA(form.FindControl("OkButton")->Handle(), BM_CLICK, 0, 0); },
         mrOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TOkCancelForm form;
        int okClicks = 0;
        int cancelClicks = 0;
        form.Control<TButton>("OkButton").OnClick = [&](TObject*) { ++okClicks; };
        form.Control<TButton>("CancelButton").OnClick = [&](TObject*) { ++cancelClicks; };
        TIdleScript script({[&] { c.act(form); }});
        EXPECT_EQ(form.ShowModal(), c.expected);
        EXPECT_FALSE(form.IsVisible());
        EXPECT_EQ(okClicks, c.expected == mrOk ? 1 : 0);
        EXPECT_EQ(cancelClicks, (c.expected == mrCancel && std::string(c.what) != "close box") ? 1 : 0);
    }
}

TEST(Form, EscWithADisabledCancelButtonAndEnterWithADisabledDefaultDoNothing) {
    TOkCancelForm form;
    int clicks = 0;
    form.Control<TButton>("OkButton").OnClick = [&](TObject*) { ++clicks; };
    form.Control<TButton>("CancelButton").OnClick = [&](TObject*) { ++clicks; };
    TIdleScript script({
        [&] {
            form.Control<TButton>("OkButton").SetEnabled(false);
            form.Control<TButton>("CancelButton").SetEnabled(false);
            PostKey(VK_ESCAPE);
            PostKey(VK_RETURN);
        },
        [] {},
        [&] { form.SetModalResult(mrOk); },
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(clicks, 0);
}

TEST(Form, ShowModalDisablesTheOwnerUntilItEnds) {
    TMainFormScope main;
    TOkCancelForm form;
    bool ownerEnabledInside = true;
    HWND ownerInside = nullptr;
    TIdleScript script({[&] {
        ownerEnabledInside = IsWindowEnabled(main.Form().Handle()) != FALSE;
        ownerInside = GetWindow(form.Handle(), GW_OWNER);
        EXPECT_TRUE(form.IsModal());
        EXPECT_EQ(Application->ActiveOwner(), form.Handle());
        form.SetModalResult(mrOk);
    }});
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_EQ(ownerInside, main.Form().Handle());
    EXPECT_TRUE(IsWindowEnabled(main.Form().Handle()));
    EXPECT_FALSE(form.IsModal());
    EXPECT_EQ(Application->ActiveOwner(), main.Form().Handle());
    EXPECT_THROW(
        {
            form.Show();
            form.ShowModal();
        },
        EInvalidOperation)
        << "a visible form cannot become modal";
    form.Hide();
}

TEST(Form, ModalFormsNestAndEachDisablesItsOwner) {
    TMainFormScope main;
    TOkCancelForm outer;
    TOkCancelForm inner;
    bool mainEnabled = true;
    bool outerEnabled = true;
    bool outerEnabledAfterInner = false;
    HWND innerOwner = nullptr;
    inner.Control<TButton>("OkButton").OnClick = [&](TObject*) {
        mainEnabled = IsWindowEnabled(main.Form().Handle()) != FALSE;
        outerEnabled = IsWindowEnabled(outer.Handle()) != FALSE;
        innerOwner = GetWindow(inner.Handle(), GW_OWNER);
    };
    // Both loops share the idle event: the outer one opens the inner form,
    // the inner one clicks its OK, the outer one then ends.
    TIdleScript script({
        [&] { EXPECT_EQ(inner.ShowModal(), mrOk); },
        [&] { PostMessageA(inner.FindControl("OkButton")->Handle(), BM_CLICK, 0, 0); },
        [&] {
            outerEnabledAfterInner = IsWindowEnabled(outer.Handle()) != FALSE;
            outer.SetModalResult(mrCancel);
        },
    });
    EXPECT_EQ(outer.ShowModal(), mrCancel);
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(outerEnabled);
    EXPECT_EQ(innerOwner, outer.Handle());
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(IsWindowEnabled(main.Form().Handle()));
}

TEST(Form, TheCloseQueryCanRefuseTheEndOfTheModalLoop) {
    TOkCancelForm form;
    int queries = 0;
    form.OnCloseQuery = [&](TObject* sender, bool& canClose) {
        EXPECT_EQ(sender, &form);
        canClose = ++queries >= 3;
    };
    TIdleScript script({
        [] { PostKey(VK_ESCAPE); },
        [&] {
            EXPECT_EQ(form.GetModalResult(), mrNone) << "refused: the result is cleared";
            EXPECT_TRUE(form.IsVisible());
            PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        },
        [] { PostKey(VK_RETURN); },
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(queries, 3);
}

TEST(Form, ExceptionsInHandlersGoToTheExceptionDisplay) {
    TShownErrors recorder;
    TOkCancelForm form;
    int step = 0;
    form.Control<TButton>("CancelButton").OnClick = [&](TObject*) {
        switch (step++) {
        case 0:
            throw EInvalidOperation("The part is not specified.");
        case 1:
            Abort();
        case 2:
            throw std::runtime_error("not one of ours");
        default:
            break;
        }
    };
    int queries = 0;
    bool allowClose = false;
    form.OnCloseQuery = [&](TObject*, bool& canClose) {
        if (queries++ == 0)
            throw EInvalidOperation("The number of lines does not match.");
        canClose = allowClose;
    };
    TIdleScript script({
        [] { PostKey(VK_ESCAPE); },
        [] { PostKey(VK_ESCAPE); },
        [] { PostKey(VK_ESCAPE); },
        [&] {
            EXPECT_TRUE(form.IsVisible()) << "an exception in the close query keeps the form open";
            allowClose = true;
            PostKey(VK_ESCAPE);
        },
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    const std::vector<std::string> expected = {"The part is not specified.",
                                               "The number of lines does not match.", UnexpectedErrorMessage};
    EXPECT_EQ(recorder.Messages, expected);
}

TEST(Application, RunsTheIdleEventWhenTheQueueIsEmpty) {
    TOkCancelForm form;
    TIdleScript watchdog({});
    HWND window = form.Handle();
    int idles = 0;
    Application->OnIdle = [&](TObject* sender, bool& done) {
        EXPECT_EQ(sender, Application);
        if (++idles == 1) {
            // Not done: called again before the loop waits.
            done = false;
        } else if (idles == 2) {
            PostMessageA(window, WM_NULL, 0, 0);
            PostMessageA(window, WM_NULL, 0, 0);
        } else {
            // The handler may clear the event while it runs.
            Application->OnIdle = nullptr;
            form.SetModalResult(mrOk);
        }
    };
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(idles, 3);
}

TEST(Application, OwnsProgramWideDialogsCreatedOnFirstUse) {
    static std::vector<std::string> freed;
    freed.clear();
    struct TFirstDialog : TOkCancelForm {
        ~TFirstDialog() override { freed.push_back("first"); }
    };
    struct TSecondDialog : TOkCancelForm {
        ~TSecondDialog() override { freed.push_back("second"); }
    };
    TFirstDialog& first = Application->Dialog<TFirstDialog>();
    TSecondDialog& second = Application->Dialog<TSecondDialog>();
    EXPECT_EQ(&Application->Dialog<TFirstDialog>(), &first);
    EXPECT_EQ(&Application->Dialog<TSecondDialog>(), &second);
    EXPECT_NE(static_cast<TForm*>(&first), static_cast<TForm*>(&second));
    Application->FreeForms();
    const std::vector<std::string> expected = {"second", "first"};
    EXPECT_EQ(freed, expected);
}

TEST(Application, ShowsExceptionsInAMessageBoxOwnedByTheActiveForm) {
    TMainFormScope main;
    Application->SetTitle("Trelvane");
    const struct {
        std::exception_ptr error;
        const char* shown;
    } cases[] = {
        {std::make_exception_ptr(EInvalidOperation("The part is not specified.")),
         "The part is not specified."},
        {std::make_exception_ptr(std::runtime_error("not one of ours")), UnexpectedErrorMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        TBoxCloser closer;
        Application->HandleException(c.error);
        EXPECT_TRUE(closer.Seen.Found);
        EXPECT_EQ(closer.Seen.Caption, "Trelvane");
        EXPECT_TRUE(closer.Seen.Shows(c.shown));
        EXPECT_EQ(closer.Seen.Owner, main.Form().Handle());
    }
    {
        TBoxCloser closer;
        EXPECT_EQ(Application->MsgBox("Replace the list?", MB_OKCANCEL), IDOK);
        EXPECT_TRUE(closer.Seen.Shows("Replace the list?"));
    }
    // The silent abort shows nothing: no box to close.
    Application->HandleException(std::make_exception_ptr(EAbort()));
    Application->SetTitle("");
}

// Last: after Run the application stays terminated.
TEST(Application, RunEndsWhenTheMainFormCloses) {
    TMainForm& main = Application->CreateForm<TMainForm>();
    EXPECT_EQ(Application->GetMainForm(), &main);
    TIdleScript script({[&] {
        EXPECT_TRUE(main.IsVisible());
        PostMessageA(main.Handle(), WM_CLOSE, 0, 0);
    }});
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Application->GetMainForm(), nullptr) << "Run frees the forms it owns";
}
