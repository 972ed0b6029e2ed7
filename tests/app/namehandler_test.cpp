// The Name menu's handler over a real owner-data list control, its dialogs
// filled and closed through their controls, the clipboard really used.
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_overwritedialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "app/dialogs/Trel_urlencodingdialog.h"
#include "app/handlers/Trel_namehandler.h"
#include "app/names/Trel_rename.h"
#include "support/Vek_net.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/RenameTestSupport.h"

#include <commctrl.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TSteps = std::vector<std::function<void()>>;

// The main window's shared objects and its name handler. Every row's item
// stands for one file of a temporary folder; the new names are set directly.
class TNameBench : public TListBench {
public:
    TNameBench() : FHandler(FModel, FItems, FInvoker) {}

    TNameHandler& Handler() { return FHandler; }

    // One row per blank-separated new name, in list order; none selected.
    void Rows(const std::string& newNames) {
        // The control's selection mode first: the model writes its own back.
        FModel.ReadFromView(true);
        std::istringstream in(newNames);
        int i = 0;
        for (std::string name; in >> name; ++i) {
            auto* item = new TRenameItem(FDir.MakeFile("file" + std::to_string(i)));
            FItems.Add(item);
            item->NewName = name == "-" ? "" : name;
            FModel.Items(FModel.Add())->SetData(item);
        }
        FModel.WriteToView(true);
    }
    // Selects the rows in the given order, as clicks with Ctrl would.
    void Select(const std::vector<int>& rows) {
        for (const int row : rows)
            SetListViewItemState(FView.Handle(), row, LVIS_SELECTED, LVIS_SELECTED);
    }

    // The rows' new names, blank-separated; an empty name shows as "-".
    std::string Names() {
        std::string names;
        for (int i = 0; i < FModel.Count(); ++i)
            names += (i ? " " : "") + (Item(i)->NewName.empty() ? std::string("-") : Item(i)->NewName);
        return names;
    }
    void SetResults(TRenameItemResult result) {
        for (int i = 0; i < FModel.Count(); ++i)
            Item(i)->Result = result;
    }

private:
    TNameHandler FHandler;
};

using NameHandler = TFreshDialogsTest;

// Runs the operation with the steps acting in its dialogs; all steps must run.
std::string RunWith(const TSteps& steps, const std::function<void()>& operation) {
    TIdleScript script(steps);
    const std::string outcome = ErrorOf(operation);
    EXPECT_EQ(script.StepsRun(), steps.size()) << "not every step ran";
    return outcome;
}

TTrelInsertDialog& InsertDialog() {
    return Application->Dialog<TTrelInsertDialog>();
}

TTrelReplaceDialog& ReplaceDialog() {
    return Application->Dialog<TTrelReplaceDialog>();
}

TTrelFreeEditDialog& FreeEditDialog() {
    return Application->Dialog<TTrelFreeEditDialog>();
}

TTrelPartDialog& PartDialog() {
    return Application->Dialog<TTrelPartDialog>();
}

// Chooses the part in the Part dialog (0 Name, 1 Base name, 2 Extension) and
// presses OK.
TSteps ChoosePart(int part) {
    return {[part] {
                TComboBox* combo = PartDialog().PartComboBox;
                for (int i = combo->GetItemIndex(); i < part; ++i)
                    PostKey(VK_DOWN, combo->Handle());
                for (int i = combo->GetItemIndex(); i > part; --i)
                    PostKey(VK_UP, combo->Handle());
            },
            [] { ClickControl(PartDialog().OkButton); }};
}

TSteps Then(TSteps first, const TSteps& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

TEST_F(NameHandler, InsertsNumbersAtTheTailOfTheBaseNameInListOrder) {
    TNameBench bench;
    bench.Rows("a.txt b.txt c.txt d.txt");
    bench.SetResults(TRenameItemResult::Succeeded);
    bench.Select({2, 0, 1});
    const TSteps steps = {
        [] { PostKey(VK_DOWN, InsertDialog().PositionComboBox->Handle()); },
        [] { ClickControl(InsertDialog().NumberRadioButton); },
        [] { ClickControl(InsertDialog().NumbersButton); },
        [] { Retype(InsertDialog().NumbersDialog().DigitsEdit, "2"); },
        [] { ClickControl(InsertDialog().NumbersDialog().OkButton); },
        [] { ClickControl(InsertDialog().OkButton); },
    };
    EXPECT_EQ(RunWith(steps, [&] { bench.Handler().Insert(); }), "");
    EXPECT_EQ(bench.Names(), "a01.txt b02.txt c03.txt d.txt");
    EXPECT_EQ(bench.Results(), "NNNS") << "the edited entries' results go back to None";
    EXPECT_EQ(bench.History(), "1 undo, 0 redo");
    EXPECT_EQ(bench.View().States(), (std::vector<int>{2, 2, 2, 0})) << "the selection stays";
    // One Undo undoes the whole operation, one Redo redoes it.
    bench.Invoker().Undo();
    EXPECT_EQ(bench.Names(), "a.txt b.txt c.txt d.txt");
    EXPECT_EQ(bench.Results(), "SSSS");
    bench.Invoker().Redo();
    EXPECT_EQ(bench.Names(), "a01.txt b02.txt c03.txt d.txt");
    // The dialog keeps its values: the same again numbers the new names.
    EXPECT_EQ(RunWith({[] { ClickControl(InsertDialog().OkButton); }}, [&] { bench.Handler().Insert(); }),
              "");
    EXPECT_EQ(bench.Names(), "a0101.txt b0202.txt c0303.txt d.txt");
    EXPECT_EQ(bench.History(), "2 undo, 0 redo");
}

TEST_F(NameHandler, ReplaceSearchesOnlyTheChosenPart) {
    const struct {
        int downs; // from "Base name": 1 for the extension, -1 for the whole name
        const char* names;
        const char* expected;
    } cases[] = {
        {1, "a.jpeg.jpeg jpeg.txt photo.JPEG", "a.jpeg.jpg jpeg.txt photo.jpg"},
        {-1, "a.jpeg.jpeg jpeg.txt photo.JPEG", "a.jpg.jpg jpg.txt photo.jpg"},
        {0, "a.jpeg.jpeg jpeg.txt photo.JPEG", "a.jpg.jpeg jpg.txt photo.JPEG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.downs);
        Application->FreeForms();
        TNameBench bench;
        bench.Rows(c.names);
        bench.Select({0, 1, 2});
        const TSteps steps = {
            [&] {
                const HWND part = ReplaceDialog().PartComboBox->Handle();
                if (c.downs)
                    PostKey(c.downs > 0 ? VK_DOWN : VK_UP, part);
            },
            [] { PostText(ReplaceDialog().OldTextEdit->Handle(), "jpeg"); },
            [] { PostText(ReplaceDialog().CustomEdit->Handle(), "jpg"); },
            [] { ClickControl(ReplaceDialog().OkButton); },
        };
        EXPECT_EQ(RunWith(steps, [&] { bench.Handler().Replace(); }), "");
        EXPECT_EQ(bench.Names(), c.expected);
        EXPECT_EQ(bench.History(), "1 undo, 0 redo");
    }
}

TEST_F(NameHandler, ReplaceByARegularExpressionIsOneCommandOrNoChange) {
    const struct {
        const char* names;
        TPartKind part;
        const char* pattern;
        const char* line;
        bool doubleByte; // the row runs only in a double-byte code page
        const char* outcome;
        const char* expected;
    } cases[] = {
        {"IMG_0001.jpg img_0002.JPG notes.txt", pkBaseName, "IMG_(\\d+)", "Holiday $1", false, "",
         "Holiday 0001.jpg Holiday 0002.JPG notes.txt"},
        {"a1b22.txt c.txt", pkName, "(\\d+)", "#$1", false, "", "a#1b#22.txt c.txt"},
        {"a.jpeg b.JPG", pkExtension, "^jpe?g$", "png", false, "", "a.png b.png"},
        // one name that cannot be matched stops the whole operation
        {"a.txt b\x83.txt", pkName, "\\.", "_", true,
         "The name holds bytes that are no characters of the system's code page.", "a.txt b\x83.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names);
        if (c.doubleByte && !IsDoubleByteCodePage())
            continue;
        Application->FreeForms();
        TNameBench bench;
        bench.Rows(c.names);
        bench.Select({0, 1});
        TTrelReplaceDialogValues& values = ReplaceDialog().Values;
        values.Part = c.part;
        values.OldText = c.pattern;
        values.Source.Specs.Custom.Text = c.line;
        values.RegularExpression = true;
        EXPECT_EQ(RunWith({[] { ClickControl(ReplaceDialog().OkButton); }}, [&] { bench.Handler().Replace(); }),
                  c.outcome);
        EXPECT_EQ(bench.Names(), c.expected);
        const bool done = *c.outcome == '\0';
        EXPECT_EQ(bench.History(), done ? "1 undo, 0 redo" : "0 undo, 0 redo");
        if (done) {
            bench.Invoker().Undo();
            EXPECT_EQ(bench.Names(), c.names);
        }
    }
}

TEST_F(NameHandler, ARegularExpressionMatchesLongNamesWithoutRunningOutOfStack) {
    // The matcher recurses for every character it repeats over; a thread's
    // usual stack ends after a few thousand.
    const std::string longName(20000, 'a');
    TNameBench bench;
    bench.Rows(longName + ".txt b.txt");
    bench.Select({0, 1});
    TTrelReplaceDialogValues& values = ReplaceDialog().Values;
    values.OldText = "^((((a|b))))*$";
    values.Source.Specs.Custom.Text = "<$1>";
    values.RegularExpression = true;
    EXPECT_EQ(RunWith({[] { ClickControl(ReplaceDialog().OkButton); }}, [&] { bench.Handler().Replace(); }), "");
    EXPECT_EQ(bench.Names(), "<a>.txt <b>.txt");
}

TEST_F(NameHandler, ClipboardLinesMustMatchTheSelection) {
    const struct {
        const char* clipboard;
        std::vector<int> selected;
        const char* outcome;
        const char* expected;
    } cases[] = {
        {"x\r\ny\r\n", {0, 1, 2}, "The number of lines does not match.", "a.txt b.txt c.txt"},
        {"x\r\ny\r\nz\r\nw\r\n", {0, 1, 2}, "The number of lines does not match.", "a.txt b.txt c.txt"},
        {"", {1}, "The number of lines does not match.", "a.txt b.txt c.txt"},
        {"x\r\ny\r\n", {2, 0}, "", "xa.txt b.txt yc.txt"},
        {"x\ny", {0, 1}, "", "xa.txt yb.txt c.txt"},
        {"\r\n", {1}, "", "a.txt b.txt c.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.clipboard)));
        Application->FreeForms();
        TNameBench bench;
        bench.Rows("a.txt b.txt c.txt");
        bench.SetResults(TRenameItemResult::Failed);
        bench.Select(c.selected);
        SetClipboardText(c.clipboard);
        const TSteps steps = {
            [] { ClickControl(InsertDialog().ClipboardRadioButton); },
            [] { ClickControl(InsertDialog().OkButton); },
        };
        EXPECT_EQ(RunWith(steps, [&] { bench.Handler().Insert(); }), c.outcome);
        EXPECT_EQ(bench.Names(), c.expected);
        // Nothing enters the history, and no result changes, when the lines do not match.
        const bool done = *c.outcome == '\0';
        EXPECT_EQ(bench.History(), done ? "1 undo, 0 redo" : "0 undo, 0 redo");
        EXPECT_EQ(bench.Results().find('N') != std::string::npos, done);
    }
}

TEST_F(NameHandler, FreeEditAcceptsOnlyAsManyLinesAsEntries) {
    TNameBench bench;
    bench.Rows("one.txt two.txt three.txt four.txt");
    bench.Select({0, 1, 3});
    TTrelFreeEditDialog& dialog = FreeEditDialog();
    std::vector<std::string> seen;
    const auto record = [&] {
        seen.push_back(dialog.Memo->GetText() + "|" + std::to_string(dialog.OkButton->IsEnabled()));
    };
    const auto select = [&](int start, int end) {
        SendMessageA(dialog.Memo->Handle(), EM_SETSEL, static_cast<WPARAM>(start), end);
    };
    // one\r\ntwo\r\nfour\r\n: "two" starts at 5, "four" at 10.
    const TSteps steps = Then(ChoosePart(1), {
                                                 record,
                                                 [&] {
                                                     // Delete the line "two".
                                                     select(5, 10);
                                                     PostKey(VK_DELETE, dialog.Memo->Handle());
                                                 },
                                                 record,
                                                 [&] {
                                                     // Add it back, edited.
                                                     select(5, 5);
                                                     PostText(dialog.Memo->Handle(), "2");
                                                     PostKey(VK_RETURN, dialog.Memo->Handle());
                                                 },
                                                 record,
                                                 [&] {
                                                     // Join "one" and "2".
                                                     select(3, 3);
                                                     PostKey(VK_DELETE, dialog.Memo->Handle());
                                                 },
                                                 record,
                                                 [&] {
                                                     PostText(dialog.Memo->Handle(), "-");
                                                     PostKey(VK_RETURN, dialog.Memo->Handle());
                                                 },
                                                 record,
                                                 [&] { ClickControl(dialog.OkButton); },
                                             });
    EXPECT_EQ(RunWith(steps, [&] { bench.Handler().FreeEdit(); }), "");
    const std::vector<std::string> expected = {
        "one\r\ntwo\r\nfour\r\n|1", "one\r\nfour\r\n|0",       "one\r\n2\r\nfour\r\n|1",
        "one2\r\nfour\r\n|0",       "one-\r\n2\r\nfour\r\n|1",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(bench.Names(), "one-.txt 2.txt three.txt four.txt");
    EXPECT_EQ(bench.History(), "1 undo, 0 redo");
}

TEST_F(NameHandler, FreeEditOfAnUnchangedTextStillMakesOneHistoryEntry) {
    TNameBench bench;
    bench.Rows("a.txt README b.txt");
    bench.SetResults(TRenameItemResult::Succeeded);
    bench.Select({0, 1});
    std::string shown;
    const TSteps steps = Then(ChoosePart(2), {[&] {
                                  shown = FreeEditDialog().Memo->GetText();
                                  ClickControl(FreeEditDialog().OkButton);
                              }});
    EXPECT_EQ(RunWith(steps, [&] { bench.Handler().FreeEdit(); }), "");
    EXPECT_EQ(shown, "txt\r\n\r\n") << "an empty last part is a line of its own";
    EXPECT_EQ(bench.Names(), "a.txt README b.txt");
    EXPECT_EQ(bench.Results(), "NNS");
    EXPECT_EQ(bench.History(), "1 undo, 0 redo");
}

TEST_F(NameHandler, FreeEditRefusesPartsThatAreNotOneLineEach) {
    // A decoded line feed put a line break into a name: its part spans two
    // lines of the text, and the lines no longer match the entries.
    TNameBench bench;
    bench.Rows("a%0Ab.txt c.txt");
    bench.Select({0, 1});
    const TSteps decode = {[] { ClickControl(Application->Dialog<TTrelUrlEncodingDialog>().OkButton); }};
    EXPECT_EQ(RunWith(decode, [&] { bench.Handler().UrlDecode(); }), "");
    EXPECT_EQ(bench.Item(0)->NewName, "a\nb.txt");
    EXPECT_EQ(RunWith(ChoosePart(1), [&] { bench.Handler().FreeEdit(); }),
              "The number of lines does not match.");
    EXPECT_FALSE(FreeEditDialog().IsVisible());
    EXPECT_EQ(bench.History(), "1 undo, 0 redo");
}

TEST_F(NameHandler, CopyPutsEachPartOnItsOwnLine) {
    const struct {
        int part;
        const char* names;
        std::vector<int> selected;
        const char* clipboard;
    } cases[] = {
        {2, "a.txt README", {0, 1}, "txt\r\n\r\n"},
        {1, "a.txt README .profile", {2, 0, 1}, "a\r\nREADME\r\n\r\n"},
        {0, "a.txt README c.d", {2, 0}, "a.txt\r\nc.d\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard);
        Application->FreeForms();
        TNameBench bench;
        bench.Rows(c.names);
        bench.Select(c.selected);
        SetClipboardText("before");
        const std::string names = bench.Names();
        EXPECT_EQ(RunWith(ChoosePart(c.part), [&] { bench.Handler().Copy(); }), "");
        EXPECT_EQ(ClipboardText(), c.clipboard);
        EXPECT_EQ(bench.Names(), names);
        EXPECT_EQ(bench.History(), "0 undo, 0 redo");
    }
}

TEST_F(NameHandler, EachOperationIsOneCommandThatOneUndoTakesBack) {
    const struct {
        const char* what;
        std::function<void(TNameHandler&)> run;
        TSteps steps;
        const char* expected;
    } cases[] = {
        {"Overwrite the extension",
         [](TNameHandler& h) { h.Overwrite(); },
         {[] { PostKey(VK_DOWN, Application->Dialog<TTrelOverwriteDialog>().PartComboBox->Handle()); },
          [] { PostText(Application->Dialog<TTrelOverwriteDialog>().CustomEdit->Handle(), "md"); },
          [] { ClickControl(Application->Dialog<TTrelOverwriteDialog>().OkButton); }},
         "My File.txt a b.md .md"},
        {"Capitalize as book titles",
         [](TNameHandler& h) { h.Capitalize(); },
         {[] { PostKey(VK_DOWN, Application->Dialog<TTrelCapitalizeDialog>().CaseComboBox->Handle()); },
          [] { PostKey(VK_DOWN, Application->Dialog<TTrelCapitalizeDialog>().CaseComboBox->Handle()); },
          [] { PostKey(VK_UP, Application->Dialog<TTrelCapitalizeDialog>().PartComboBox->Handle()); },
          [] { ClickControl(Application->Dialog<TTrelCapitalizeDialog>().OkButton); }},
         "My File.txt A B.Txt .Profile"},
        {"URL encode the base name",
         [](TNameHandler& h) { h.UrlEncode(); },
         {[] { ClickControl(Application->Dialog<TTrelUrlEncodingDialog>().OkButton); }},
         "My File.txt a%20b.TXT .profile"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Application->FreeForms();
        TNameBench bench;
        bench.Rows("My_File.txt a_b.TXT .profile");
        // Blanks cannot go through the row list: set them now.
        bench.Item(0)->NewName = "My File.txt";
        bench.Item(1)->NewName = "a b.TXT";
        bench.SetResults(TRenameItemResult::Skipped);
        bench.Select({1, 2});
        const std::string before = bench.Names();
        EXPECT_EQ(RunWith(c.steps, [&] { c.run(bench.Handler()); }), "");
        EXPECT_EQ(bench.Names(), c.expected);
        EXPECT_EQ(bench.Results(), "KNN");
        EXPECT_EQ(bench.History(), "1 undo, 0 redo");
        bench.Invoker().Undo();
        EXPECT_EQ(bench.Names(), before);
        EXPECT_EQ(bench.Results(), "KKK");
        EXPECT_EQ(bench.History(), "0 undo, 1 redo");
    }
}

TEST_F(NameHandler, AnErrorBeforeTheCommandChangesNothing) {
    const struct {
        const char* what;
        std::function<void(TNameHandler&)> run;
        TSteps steps;
        const char* outcome;
    } cases[] = {
        {"a malformed escape",
         [](TNameHandler& h) { h.UrlDecode(); },
         {[] { PostKey(VK_UP, Application->Dialog<TTrelUrlEncodingDialog>().PartComboBox->Handle()); },
          [] { ClickControl(Application->Dialog<TTrelUrlEncodingDialog>().OkButton); }},
         "The program cannot URL decode the string."},
        {"a number below zero",
         [](TNameHandler& h) { h.Overwrite(); },
         {[] { ClickControl(Application->Dialog<TTrelOverwriteDialog>().NumberRadioButton); },
          [] { ClickControl(Application->Dialog<TTrelOverwriteDialog>().NumbersButton); },
          [] { Retype(Application->Dialog<TTrelNumbersDialog>().IncrementEdit, "-1"); },
          [] { ClickControl(Application->Dialog<TTrelNumbersDialog>().OkButton); },
          [] { ClickControl(Application->Dialog<TTrelOverwriteDialog>().OkButton); }},
         "Negative numbers are not supported."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Application->FreeForms();
        TNameBench bench;
        bench.Rows("ok.txt 100%.txt 50%25.txt");
        bench.SetResults(TRenameItemResult::Failed);
        bench.Select({0, 1, 2});
        EXPECT_EQ(RunWith(c.steps, [&] { c.run(bench.Handler()); }), c.outcome);
        EXPECT_EQ(bench.Names(), "ok.txt 100%.txt 50%25.txt");
        EXPECT_EQ(bench.Results(), "FFF");
        EXPECT_EQ(bench.History(), "0 undo, 0 redo");
    }
}

TEST_F(NameHandler, ACancelledDialogEndsSilentlyWithoutAChange) {
    const struct {
        const char* what;
        std::function<void(TNameHandler&)> run;
        TSteps steps;
    } cases[] = {
        {"Insert", [](TNameHandler& h) { h.Insert(); }, {[] { PostEscapeToModal(); }}},
        {"Overwrite", [](TNameHandler& h) { h.Overwrite(); }, {[] { PostEscapeToModal(); }}},
        {"Replace", [](TNameHandler& h) { h.Replace(); }, {[] { PostEscapeToModal(); }}},
        {"Capitalize", [](TNameHandler& h) { h.Capitalize(); }, {[] { PostEscapeToModal(); }}},
        {"URL Encode", [](TNameHandler& h) { h.UrlEncode(); }, {[] { PostEscapeToModal(); }}},
        {"URL Decode", [](TNameHandler& h) { h.UrlDecode(); }, {[] { PostEscapeToModal(); }}},
        {"Copy", [](TNameHandler& h) { h.Copy(); }, {[] { PostEscapeToModal(); }}},
        {"Free Edit at the Part dialog", [](TNameHandler& h) { h.FreeEdit(); }, {[] {
             PostEscapeToModal();
         }}},
        {"Free Edit at its own dialog", [](TNameHandler& h) { h.FreeEdit(); },
         Then(ChoosePart(0), {[] { PostText(FreeEditDialog().Memo->Handle(), "x"); },
                              [] { ClickControl(FreeEditDialog().CancelButton); }})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TNameBench bench;
        bench.Rows("a.txt b.txt");
        bench.SetResults(TRenameItemResult::Succeeded);
        bench.Select({0, 1});
        SetClipboardText("kept");
        EXPECT_EQ(RunWith(c.steps, [&] { c.run(bench.Handler()); }), "abort");
        EXPECT_EQ(bench.Names(), "a.txt b.txt");
        EXPECT_EQ(bench.Results(), "SS");
        EXPECT_EQ(bench.History(), "0 undo, 0 redo");
        EXPECT_EQ(ClipboardText(), "kept");
    }
}

TEST_F(NameHandler, EnterSetsTheWholeNewNameOfOneRow) {
    TNameBench bench;
    bench.Rows("a.txt b.txt c.txt");
    bench.SetResults(TRenameItemResult::Failed);
    bench.Select({0});
    const struct {
        int row;
        const char* text;
        const char* names;
        const char* results;
        const char* outcome;
    } cases[] = {
        {1, "new name.md", "a.txt new name.md c.txt", "FNF", ""},
        {2, "c.txt", "a.txt new name.md c.txt", "FNN", ""},
        {0, "", "- new name.md c.txt", "NNN", ""},
        {0, "x:y?", "x:y? new name.md c.txt", "NNN", ""},
        {3, "outside", "x:y? new name.md c.txt", "NNN", "List index out of bounds (3)."},
    };
    int commands = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ErrorOf([&] { bench.Handler().Enter(c.row, c.text); }), c.outcome);
        commands += *c.outcome == '\0';
        EXPECT_EQ(bench.Names(), c.names);
        EXPECT_EQ(bench.Results(), c.results);
        EXPECT_EQ(bench.History(), std::to_string(commands) + " undo, 0 redo");
    }
    EXPECT_EQ(bench.View().States(), (std::vector<int>{2, 0, 0})) << "the selection is not touched";
    bench.Invoker().Undo();
    bench.Invoker().Undo();
    EXPECT_EQ(bench.Names(), "a.txt new name.md c.txt");
    EXPECT_EQ(bench.Results(), "FNN");
}

TEST_F(NameHandler, DialogsAreTheProgramsOwnAndCreatedOnce) {
    TNameBench bench;
    bench.Rows("a.txt");
    bench.Select({0});
    std::vector<TForm*> shown;
    const auto note = [&] { shown.push_back(TForm::FromHandle(Application->ActiveOwner())); };
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(RunWith({note, [] { PostEscapeToModal(); }}, [&] { bench.Handler().Capitalize(); }),
                  "abort");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], &Application->Dialog<TTrelCapitalizeDialog>());
    EXPECT_EQ(shown[1], shown[0]);
    // URL Encode and URL Decode share one dialog and its values.
    const TSteps ansi = {
        [] { PostKey(VK_DOWN, Application->Dialog<TTrelUrlEncodingDialog>().EncodingComboBox->Handle()); },
        [] { ClickControl(Application->Dialog<TTrelUrlEncodingDialog>().OkButton); }};
    EXPECT_EQ(RunWith(ansi, [&] { bench.Handler().UrlEncode(); }), "");
    std::string offered;
    const TSteps look = {[&] {
        offered = Application->Dialog<TTrelUrlEncodingDialog>().EncodingComboBox->GetText();
        PostEscapeToModal();
    }};
    EXPECT_EQ(RunWith(look, [&] { bench.Handler().UrlDecode(); }), "abort");
    EXPECT_EQ(offered, "ANSI");
}

TEST_F(NameHandler, FreeEditKeepsDoubleByteNamesByteForByte) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    TNameBench bench;
    bench.Rows("x y");
    // Katakana and kanji whose trail bytes are a backslash and a small letter.
    bench.Item(0)->NewName = "\x83\x5C\x83\x74\x83\x67.txt";
    bench.Item(1)->NewName = "\x95\x5C.\x8E\x9A";
    bench.Select({0, 1});
    const std::string before = bench.Names();
    const TSteps steps = Then(ChoosePart(0), {[] { ClickControl(FreeEditDialog().OkButton); }});
    EXPECT_EQ(RunWith(steps, [&] { bench.Handler().FreeEdit(); }), "");
    EXPECT_EQ(bench.Names(), before);
    EXPECT_EQ(bench.History(), "1 undo, 0 redo");
}
