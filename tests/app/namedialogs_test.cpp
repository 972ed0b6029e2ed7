// The Name menu's dialogs: the conversions of control states into values as
// tables, and the real dialogs shown, filled and closed under the virtual
// display.
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_numbersdialog.h"
#include "app/dialogs/Trel_overwritedialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "app/dialogs/Trel_urlencodingdialog.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/TestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using NameDialogs = TFreshDialogsTest;

// The innermost modal form as a dialog of the class, or null.
template <class T>
T* Modal() {
    return dynamic_cast<T*>(TForm::FromHandle(Application->ActiveOwner()));
}

std::string Describe(const TNumberSrcLinesSpecs& n) {
    return n.Prefix + "|" + n.Suffix + "|" + std::to_string(n.Initial) + "|" + std::to_string(n.Increment) +
           "|" + std::to_string(n.Digits) + "|" + std::string(1, n.Padding);
}

std::string Describe(const TTextSrcSpecs& s) {
    return "kind " + std::to_string(s.Kind) + ", custom \"" + s.Specs.Custom.Text + "\", numbers " +
           Describe(s.Specs.Number);
}

const char* const kInitialNumbers = "||1|1|1|0";

} // namespace

// ---------------------------------------------------------------- conversions

TEST(NameDialogConversions, ControlStatesBecomeValuesOrTheMessage) {
    using TConvert = std::function<int(int)>;
    const TConvert part = [](int i) { return int{PartFromIndex(i)}; };
    const TConvert position = [](int i) { return int{PositionFromIndex(i)}; };
    const TConvert characterCase = [](int i) { return int{CaseFromIndex(i)}; };
    const TConvert encoding = [](int i) { return int{EncodingFromIndex(i)}; };
    // The radio buttons Custom, Number and Clipboard as the bits 1, 2 and 4.
    const TConvert kind = [](int i) { return int{KindFromChecks(i & 1, i & 2, i & 4)}; };
    const char* const noPart = "The part is not specified.";
    const char* const noEncoding = "The character encoding is not specified.";
    const struct {
        const TConvert& convert;
        int state;
        int expected; // -1: the message
        const char* message;
    } cases[] = {
        {part, 0, pkName, ""},
        {part, 2, pkExtension, ""},
        {part, -1, -1, noPart},
        {part, 3, -1, noPart},
        {position, 1, ipTail, ""},
        {position, -1, -1, "The position is not specified."},
        {position, 2, -1, "The position is not specified."},
        {characterCase, 2, ccBookTitle, ""},
        {characterCase, -1, -1, "The case is not specified."},
        {characterCase, 3, -1, "The case is not specified."},
        {encoding, 1, ceAnsi, ""},
        {encoding, 2, -1, noEncoding},
        {encoding, -1, -1, noEncoding},
        {kind, 4, skClipboard, ""},
        {kind, 7, skCustom, ""},
        {kind, 6, skNumber, ""},
        {kind, 0, -1, "The kind is not specified."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases << ", state " << c.state);
        if (c.expected >= 0) {
            EXPECT_EQ(c.convert(c.state), c.expected);
        } else {
            EXPECT_ERROR_MESSAGE(EInvalidOperation, c.convert(c.state), c.message);
        }
    }
    // Loading shows no item for a value outside the items.
    EXPECT_EQ(ItemIndexOf(2, 3), 2);
    EXPECT_EQ(ItemIndexOf(3, 3), -1);
    EXPECT_EQ(ItemIndexOf(255, 2), -1);
}

TEST(NameDialogConversions, TextSourceEnablingRule) {
    const struct {
        const char* what;
        int part, position;
        bool custom;
        const char* text;
        bool number, clipboard, hasPosition;
        TTextSourceEnabling expected; // custom edit, "...", OK
    } cases[] = {
        {"custom, empty text", 1, 0, true, "", false, false, true, {true, false, false}},
        {"custom with a text", 1, 0, true, "x", false, false, true, {true, false, true}},
        {"number, empty custom text", 1, 0, false, "", true, false, true, {false, true, true}},
        {"clipboard", 0, 1, false, "", false, true, true, {false, false, true}},
        {"no part", -1, 0, true, "x", false, false, true, {true, false, false}},
        {"no position", 1, -1, false, "", true, false, true, {false, true, false}},
        {"no position needed", 1, -1, false, "", true, false, false, {false, true, true}},
        {"no kind checked", 1, 0, false, "", false, false, true, {false, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTextSourceDialogState state;
        state.PartIndex = c.part;
        state.PositionIndex = c.position;
        state.CustomChecked = c.custom;
        state.CustomText = c.text;
        state.NumberChecked = c.number;
        state.ClipboardChecked = c.clipboard;
        const TTextSourceEnabling enabling = TextSourceEnabling(state, c.hasPosition);
        EXPECT_EQ(enabling.CustomEdit, c.expected.CustomEdit);
        EXPECT_EQ(enabling.NumbersButton, c.expected.NumbersButton);
        EXPECT_EQ(enabling.Ok, c.expected.Ok);
    }
    // A file date takes a chosen date and a format.
    TTextSourceDialogState date;
    date.PartIndex = 1;
    date.FileDateChecked = true;
    date.DateIndex = 2;
    EXPECT_EQ(TextSourceEnabling(date, false), (TTextSourceEnabling{false, false, false, true}));
    date.DateFormat = "yyyy";
    EXPECT_TRUE(TextSourceEnabling(date, false).Ok);
    date.DateIndex = -1;
    EXPECT_FALSE(TextSourceEnabling(date, false).Ok);
}

TEST(NameDialogConversions, TextSourceValuesFromTheControls) {
    TNumberSrcLinesSpecs numbers;
    numbers.Prefix = "img";
    numbers.Digits = 3;
    TTextSourceDialogState state;
    state.PartIndex = pkExtension;
    state.PositionIndex = ipTail;
    state.OldText = "jpeg";
    state.ClipboardChecked = true;
    state.CustomText = "kept while another kind is chosen";
    state.MatchCase = true;

    const TTrelInsertDialogValues insert = InsertDialogValues(state, numbers);
    EXPECT_EQ(insert.Position, ipTail);
    EXPECT_EQ(Describe(insert.Source),
              "kind 2, custom \"kept while another kind is chosen\", numbers img||1|1|3|0");
    // Shown and read back, the values stay; only Insert needs a position.
    state.PositionIndex = -1;
    const TTrelReplaceDialogValues replace = ReplaceDialogValues(state, numbers);
    const TTrelReplaceDialogValues again = ReplaceDialogValues(ReplaceDialogState(replace), numbers);
    EXPECT_EQ(again.Part, pkExtension);
    EXPECT_EQ(again.OldText, "jpeg");
    EXPECT_TRUE(again.MatchCase);
    EXPECT_EQ(Describe(again.Source), Describe(insert.Source));
    EXPECT_EQ(Describe(OverwriteDialogValues(state, numbers).Source), Describe(insert.Source));
    EXPECT_ERROR_MESSAGE(EInvalidOperation, InsertDialogValues(state, numbers),
                         "The position is not specified.");
    state.PartIndex = -1;
    EXPECT_ERROR_MESSAGE(EInvalidOperation, OverwriteDialogValues(state, numbers),
                         "The part is not specified.");
}

TEST(NameDialogConversions, ReplaceTakesOnlyARegularExpressionThatCompiles) {
    const struct {
        const char* oldText;
        bool regularExpression;
        const char* message; // empty: accepted, OK enabled
    } cases[] = {
        {"IMG_(\\d+)", true, ""},
        {"(a", true, "The regular expression is not valid: unmatched parenthesis."},
        {"(a", false, ""},
        {"*.jpg", true, "The regular expression is not valid: nothing to repeat."},
        {"*.jpg", false, ""},
        {"[0-9", true, "The regular expression is not valid: unmatched bracket."},
        {"", true, ""},
    };
    const TNumberSrcLinesSpecs numbers;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldText << " " << c.regularExpression);
        TTextSourceDialogState state;
        state.PartIndex = pkName;
        state.OldText = c.oldText;
        state.CustomChecked = true;
        state.CustomText = "x";
        state.RegularExpression = c.regularExpression;
        EXPECT_EQ(ReplacePatternMessage(state), c.message);
        EXPECT_EQ(TextSourceEnabling(state, false).Ok, *c.message == '\0');
        if (*c.message)
            EXPECT_ERROR_MESSAGE(EInvalidOperation, ReplaceDialogValues(state, numbers), c.message);
        else
            EXPECT_EQ(ReplaceDialogValues(state, numbers).RegularExpression, c.regularExpression);
    }
}

TEST(NameDialogConversions, NumbersFromTheTexts) {
    const struct {
        TNumbersDialogState texts; // prefix, suffix, initial, increment, digits, padding
        const char* expected;      // the values, or the message
    } cases[] = {
        {{"", "", "1", "1", "1", "0"}, kInitialNumbers},
        {{"img", ".", "-5", "-1", "0", "_"}, "img|.|-5|-1|0|_"},
        {{"", "", " 7", "+2 ", "255", " "}, "||7|2|255| "},
        {{"", "", "$10", "0x10", "$FF", "x"}, "||16|16|255|x"},
        {{"", "", "2147483647", "-2147483648", "3", "0"}, "||2147483647|-2147483648|3|0"},
        {{"", "", "abc", "1", "1", "0"}, "The initial number is not an integer."},
        {{"", "", "2147483648", "1", "1", "0"}, "The initial number is not an integer."},
        {{"", "", "1", "", "1", "0"}, "The increment is not an integer."},
        {{"", "", "1", "1", "-1", "0"}, "The number of digits is not an integer from 0 to 255."},
        {{"", "", "1", "1", "256", "0"}, "The number of digits is not an integer from 0 to 255."},
        {{"", "", "1", "1", "2147483647", "0"}, "The number of digits is not an integer from 0 to 255."},
        {{"", "", "1", "1", "1.5", "0"}, "The number of digits is not an integer from 0 to 255."},
        {{"", "", "1", "1", "1", ""}, "The padding is not one character."},
        {{"", "", "1", "1", "1", "00"}, "The padding is not one character."},
    };
    for (const auto& c : cases) {
        const TNumbersDialogState& t = c.texts;
        SCOPED_TRACE(t.Initial + "|" + t.Increment + "|" + t.Digits + "|" + t.Padding);
        // The values are written with bars, the messages without.
        const bool accepted = std::string(c.expected).find('|') != std::string::npos;
        EXPECT_EQ(NumbersDialogAcceptable(t), accepted);
        if (accepted) {
            EXPECT_EQ(Describe(NumbersDialogValues(t)), c.expected);
        } else {
            EXPECT_ERROR_MESSAGE(EInvalidOperation, NumbersDialogValues(t), c.expected);
        }
    }
    TNumberSrcLinesSpecs values;
    values.Initial = -5;
    values.Padding = '_';
    const TNumbersDialogState shown = NumbersDialogState(values);
    EXPECT_EQ(shown.Initial, "-5");
    EXPECT_EQ(shown.Padding, "_");
    EXPECT_EQ(Describe(NumbersDialogValues(shown)), Describe(values));
}

TEST(NameDialogConversions, FreeEditLinesAndLineBreaks) {
    const struct {
        const char* text;
        int lines;
        const char* memo; // as the memo shows it
    } cases[] = {
        {"", 0, ""},
        {"a", 1, "a"},
        {"a\r\nb\r\nc\r\n", 3, "a\r\nb\r\nc\r\n"},
        {"a\r\nb\r\n\r\n", 3, "a\r\nb\r\n\r\n"},
        {"\r\n", 1, "\r\n"},
        {"a\r\nb", 2, "a\r\nb"},
        {"a\nb\rc\r\n", 3, "a\r\nb\r\nc\r\n"},
        {"a\n\rb", 3, "a\r\n\r\nb"},
        {"a\r\r\nb", 3, "a\r\n\r\nb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(TextLineCount(c.text), c.lines);
        EXPECT_EQ(MemoLineBreaks(c.text), c.memo);
        EXPECT_EQ(TextLineCount(c.memo), c.lines);
        // The count is the number of lines the name handler splits the text into.
        TStringList split;
        split.SetText(c.text);
        EXPECT_EQ(split.Count(), c.lines);
        EXPECT_EQ(FreeEditDialogText(c.memo, c.lines), c.memo);
        EXPECT_ERROR_MESSAGE(EInvalidOperation, FreeEditDialogText(c.memo, c.lines + 1),
                             "The number of lines does not match.");
    }
    EXPECT_EQ(TextLineCount(std::string("a\r\nb\0c\r\n", 8)), 2) << "the text ends at a zero byte";
}

// ---------------------------------------------------------------- layout

namespace {

struct TPlaceCase {
    const char* Name;
    RECT Design;
    const char* Text; // a combo box: its items, one a line
};

struct TDialogLayout {
    const char* What;
    std::function<std::unique_ptr<TForm>()> Make;
    const char* Caption;
    int Width, Height;
    std::vector<TPlaceCase> Places;
    std::vector<std::string> Tabs;
};

RECT At(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

const char* const kParts = "Name\nBase name\nExtension";
const char* const kClipboardCaption = "Clip&board (a line per item)";
const char* const kDates = "Modified\nCreated\nDate taken";
const char* const kFolderCaption = "&Folder name (of the entry's directory)";
const char* const kFallback = "A file without a date taken gives its Modified date.";

std::string ItemsOf(const TComboBox& combo) {
    std::string items;
    for (int i = 0; i < combo.Count(); ++i)
        items += (i ? "\n" : "") + combo.Item(i);
    return items;
}

} // namespace

TEST_F(NameDialogs, AreLaidOutAsTheirTables) {
    // clang-format off
    const TDialogLayout layouts[] = {
        {"Insert", [] { return std::make_unique<TTrelInsertDialog>(); }, "Insert", 466, 361,
         {{"Label11", At(10, 10, 121, 26), "&Part:"},
          {"ComboBox11", At(135, 10, 321, 23), kParts},
          {"Label21", At(10, 40, 121, 26), "P&osition:"},
          {"ComboBox21", At(135, 40, 321, 23), "Head\nTail"},
          {"Label31", At(10, 70, 121, 26), "Text:"},
          {"RadioButton31", At(135, 70, 121, 26), "&Custom:"},
          {"Edit31", At(260, 70, 196, 23), ""},
          {"RadioButton41", At(135, 100, 121, 26), "&Number:"},
          {"Button41", At(260, 100, 26, 26), "..."},
          {"RadioButton51", At(135, 130, 321, 26), kClipboardCaption},
          {"RadioButton61", At(135, 160, 121, 26), "File &date:"},
          {"ComboBox61", At(260, 160, 196, 23), kDates},
          {"Label62", At(155, 190, 101, 26), "For&mat:"},
          {"Edit62", At(260, 190, 196, 23), ""},
          {"Label63", At(155, 220, 301, 26), kFallback},
          {"RadioButton71", At(135, 250, 321, 26), kFolderCaption},
          {"Label81", At(10, 285, 446, 26), ""},
          {"Button91", At(250, 325, 101, 26), "OK"},
          {"Button92", At(355, 325, 101, 26), "Cancel"}},
         {"ComboBox11", "ComboBox21", "RadioButton31", "Edit31", "RadioButton41", "Button41", "RadioButton51",
          "RadioButton61", "ComboBox61", "Edit62", "RadioButton71", "Button91", "Button92"}},
        {"Overwrite", [] { return std::make_unique<TTrelOverwriteDialog>(); }, "Overwrite", 466, 331,
         {{"Label11", At(10, 10, 121, 26), "&Part:"},
          {"ComboBox11", At(135, 10, 321, 23), kParts},
          {"Label21", At(10, 40, 121, 26), "Text:"},
          {"RadioButton21", At(135, 40, 121, 26), "&Custom:"},
          {"Edit21", At(260, 40, 196, 23), ""},
          {"RadioButton31", At(135, 70, 121, 26), "&Number:"},
          {"Button31", At(260, 70, 26, 26), "..."},
          {"RadioButton41", At(135, 100, 321, 26), kClipboardCaption},
          {"RadioButton51", At(135, 130, 121, 26), "File &date:"},
          {"ComboBox51", At(260, 130, 196, 23), kDates},
          {"Label52", At(155, 160, 101, 26), "For&mat:"},
          {"Edit52", At(260, 160, 196, 23), ""},
          {"Label53", At(155, 190, 301, 26), kFallback},
          {"RadioButton61", At(135, 220, 321, 26), kFolderCaption},
          {"Label81", At(10, 255, 446, 26), ""},
          {"Button91", At(250, 295, 101, 26), "OK"},
          {"Button92", At(355, 295, 101, 26), "Cancel"}},
         {"ComboBox11", "RadioButton21", "Edit21", "RadioButton31", "Button31", "RadioButton41", "RadioButton51",
          "ComboBox51", "Edit52", "RadioButton61", "Button91", "Button92"}},
        {"Replace", [] { return std::make_unique<TTrelReplaceDialog>(); }, "Replace", 466, 291,
         {{"Label11", At(10, 10, 121, 26), "&Part:"},
          {"ComboBox11", At(135, 10, 321, 23), kParts},
          {"Label21", At(10, 40, 121, 26), "&Old text:"},
          {"Edit21", At(135, 40, 321, 23), ""},
          {"Label31", At(10, 70, 121, 26), "New text:"},
          {"RadioButton31", At(135, 70, 121, 26), "&Custom:"},
          {"Edit31", At(260, 70, 196, 23), ""},
          {"RadioButton41", At(135, 95, 121, 26), "&Number:"},
          {"Button41", At(260, 95, 26, 26), "..."},
          {"RadioButton51", At(135, 125, 321, 26), kClipboardCaption},
          {"CheckBox61", At(10, 155, 221, 26), "&Match case"},
          {"CheckBox71", At(10, 185, 221, 26), "Regular e&xpression"},
          {"Label71", At(235, 155, 221, 56), ""},
          {"Label81", At(10, 220, 446, 26), ""},
          {"Button91", At(255, 255, 101, 26), "OK"},
          {"Button92", At(360, 255, 101, 26), "Cancel"}},
         {"ComboBox11", "Edit21", "RadioButton31", "Edit31", "RadioButton41", "Button41", "RadioButton51",
          "CheckBox61", "CheckBox71", "Button91", "Button92"}},
        {"Numbers", [] { return std::make_unique<TTrelNumbersDialog>(); }, "Numbers", 386, 266,
         {{"Label11", At(10, 10, 121, 26), "&Prefix:"},
          {"Edit11", At(135, 10, 241, 23), ""},
          {"Label21", At(10, 40, 121, 26), "&Suffix:"},
          {"Edit21", At(135, 40, 241, 23), ""},
          {"Label31", At(10, 70, 121, 26), "&Initial:"},
          {"Edit31", At(135, 70, 241, 23), ""},
          {"Label41", At(10, 100, 121, 26), "I&ncrement:"},
          {"Edit41", At(135, 100, 241, 23), ""},
          {"Label51", At(10, 130, 121, 26), "&Digits:"},
          {"Edit51", At(135, 130, 241, 23), ""},
          {"Label61", At(10, 160, 121, 26), "&Padding:"},
          {"Edit61", At(135, 160, 241, 23), ""},
          {"Label71", At(10, 195, 366, 26), ""},
          {"Button91", At(170, 230, 101, 26), "OK"},
          {"Button92", At(275, 230, 101, 26), "Cancel"}},
         {"Edit11", "Edit21", "Edit31", "Edit41", "Edit51", "Edit61", "Button91", "Button92"}},
        {"Capitalize", [] { return std::make_unique<TTrelCapitalizeDialog>(); }, "Capitalize", 466, 146,
         {{"Label11", At(10, 10, 121, 26), "&Part:"},
          {"ComboBox11", At(135, 10, 321, 23), kParts},
          {"Label21", At(10, 40, 121, 26), "&Case:"},
          {"ComboBox21", At(135, 40, 321, 23), "Lower case\nUpper case\nBook title"},
          {"Label31", At(10, 75, 446, 26), ""},
          {"Button91", At(250, 110, 101, 26), "OK"},
          {"Button92", At(355, 110, 101, 26), "Cancel"}},
         {"ComboBox11", "ComboBox21", "Button91", "Button92"}},
        {"Part", [] { return std::make_unique<TTrelPartDialog>(); }, "Part", 466, 86,
         {{"Label11", At(10, 10, 121, 26), "&Part:"},
          {"ComboBox11", At(135, 10, 321, 23), kParts},
          {"Button91", At(250, 50, 101, 26), "OK"},
          {"Button92", At(355, 50, 101, 26), "Cancel"}},
         {"ComboBox11", "Button91", "Button92"}},
        {"URL Encoding", [] { return std::make_unique<TTrelUrlEncodingDialog>(); }, "URL Encoding", 526, 146,
         {{"Label11", At(10, 10, 181, 26), "&Part:"},
          {"ComboBox11", At(195, 10, 321, 23), kParts},
          {"Label21", At(10, 40, 181, 26), "&Character encoding:"},
          {"ComboBox21", At(195, 40, 321, 23), "UTF-8\nANSI"},
          {"Label31", At(10, 75, 506, 26), ""},
          {"Button91", At(310, 110, 101, 26), "OK"},
          {"Button92", At(415, 110, 101, 26), "Cancel"}},
         {"ComboBox11", "ComboBox21", "Button91", "Button92"}},
        {"Free Edit", [] { return std::make_unique<TTrelFreeEditDialog>(); }, "Free Edit", 466, 386,
         {{"Memo11", At(10, 15, 446, 321), ""},
          {"Button91", At(250, 350, 101, 26), "OK"},
          {"Button92", At(355, 350, 101, 26), "Cancel"}},
         {"Memo11", "Button91", "Button92"}},
    };
    // clang-format on
    for (const TDialogLayout& layout : layouts) {
        SCOPED_TRACE(layout.What);
        const std::unique_ptr<TForm> form = layout.Make();
        EXPECT_EQ(form->GetCaption(), layout.Caption);
        EXPECT_EQ(form->ControlCount(), static_cast<int>(layout.Places.size()));
        std::vector<TDesignPlace> places;
        for (const TPlaceCase& place : layout.Places) {
            const TControl* control = form->FindControl(place.Name);
            ASSERT_NE(control, nullptr) << place.Name;
            places.push_back({control, place.Design});
            if (const auto* combo = dynamic_cast<const TComboBox*>(control)) {
                EXPECT_EQ(ItemsOf(*combo), place.Text) << place.Name;
            } else {
                EXPECT_EQ(control->GetText(), place.Text) << place.Name;
            }
        }
        ExpectScaledLayout(*form, layout.Width, layout.Height, places);
        EXPECT_EQ(TabOrder(*form), layout.Tabs);
        ASSERT_NE(form->DefaultButton(), nullptr);
        EXPECT_EQ(form->DefaultButton()->Name(), "Button91");
        EXPECT_EQ(form->DefaultButton()->ModalResult(), mrOk);
        ASSERT_NE(form->CancelButton(), nullptr);
        EXPECT_EQ(form->CancelButton()->Name(), "Button92");
        EXPECT_EQ(form->CancelButton()->ModalResult(), mrCancel);
    }
    // The memo: several lines, both scroll bars, no word wrap.
    TTrelFreeEditDialog freeEdit;
    const LONG_PTR style = GetWindowLongPtrA(freeEdit.Memo->Handle(), GWL_STYLE);
    const LONG_PTR memo = ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
    EXPECT_EQ(style & memo, memo);
}

// ---------------------------------------------------------------- initial values and the Numbers dialog

TEST_F(NameDialogs, ShowTheirInitialValuesOnFirstUse) {
    const struct {
        const char* what;
        std::function<bool()> execute;
        // What the controls show, read from inside the modal loop.
        std::function<std::string()> read;
        const char* expected;
    } cases[] = {
        {"Insert", [] { return Application->Dialog<TTrelInsertDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelInsertDialog>();
             return d->PartComboBox->GetText() + "|" + d->PositionComboBox->GetText() + "|" +
                    std::to_string(d->CustomRadioButton->IsChecked()) + "|" + d->CustomEdit->GetText() + "|" +
                    std::to_string(d->OkButton->IsEnabled()) + "|" +
                    std::to_string(d->NumbersButton->IsEnabled()) + "|" +
                    (d->ActiveControl() ? d->ActiveControl()->Name() : "");
         },
         "Base name|Head|1||0|0|ComboBox11"},
        {"Overwrite", [] { return Application->Dialog<TTrelOverwriteDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelOverwriteDialog>();
             return d->PartComboBox->GetText() + "|" + std::to_string(d->CustomRadioButton->IsChecked()) +
                    "|" + std::to_string(d->OkButton->IsEnabled());
         },
         "Base name|1|0"},
        {"Replace", [] { return Application->Dialog<TTrelReplaceDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelReplaceDialog>();
             return d->PartComboBox->GetText() + "|" + d->OldTextEdit->GetText() + "|" +
                    std::to_string(d->MatchCaseCheckBox->IsChecked()) + "|" +
                    std::to_string(d->RegularExpressionCheckBox->IsChecked()) + "|" +
                    std::to_string(d->OkButton->IsEnabled());
         },
         "Base name||0|0|0"},
        {"Numbers", [] { return Application->Dialog<TTrelNumbersDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelNumbersDialog>();
             const TNumbersDialogState s = d->GetState();
             return s.Prefix + "|" + s.Suffix + "|" + s.Initial + "|" + s.Increment + "|" + s.Digits + "|" +
                    s.Padding + "|" + std::to_string(d->OkButton->IsEnabled());
         },
         "||1|1|1|0|1"},
        {"Capitalize", [] { return Application->Dialog<TTrelCapitalizeDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelCapitalizeDialog>();
             return d->GetCaption() + "|" + d->PartComboBox->GetText() + "|" + d->CaseComboBox->GetText();
         },
         "Capitalize|Base name|Lower case"},
        {"Part", [] { return Application->Dialog<TTrelPartDialog>().Execute(); },
         [] { return Application->Dialog<TTrelPartDialog>().PartComboBox->GetText(); }, "Base name"},
        {"URL Encoding", [] { return Application->Dialog<TTrelUrlEncodingDialog>().Execute(); },
         [] {
             auto* d = &Application->Dialog<TTrelUrlEncodingDialog>();
             return d->PartComboBox->GetText() + "|" + d->EncodingComboBox->GetText();
         },
         "Base name|UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string shown;
        TIdleScript script({[&] {
            shown = c.read();
            PostEscapeToModal();
        }});
        EXPECT_FALSE(c.execute());
        EXPECT_EQ(shown, c.expected);
    }
}

TEST_F(NameDialogs, NumbersOkFollowsTheTexts) {
    TTrelNumbersDialog& dialog = Application->Dialog<TTrelNumbersDialog>();
    std::vector<int> enabled;
    const auto record = [&] { enabled.push_back(dialog.OkButton->IsEnabled()); };
    TIdleScript script({
        [&] { Retype(dialog.DigitsEdit, "-1"); },   record,
        [&] { Retype(dialog.DigitsEdit, "256"); },  record,
        [&] { Retype(dialog.DigitsEdit, "255"); },  record,
        [&] { Retype(dialog.PaddingEdit, ""); },    record,
        [&] { Retype(dialog.PaddingEdit, "ab"); },  record,
        [&] { Retype(dialog.PaddingEdit, "_"); },   record,
        [&] { Retype(dialog.InitialEdit, "abc"); }, record,
        [&] { Retype(dialog.InitialEdit, "-5"); },  record,
        [&] { Retype(dialog.IncrementEdit, ""); },  record,
        [&] { Retype(dialog.IncrementEdit, "2"); }, [&] { Retype(dialog.PrefixEdit, "img"); },
        [&] { Retype(dialog.SuffixEdit, "-"); },    record,
        [&] { ClickControl(dialog.OkButton); },
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(enabled, (std::vector<int>{0, 0, 1, 0, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(Describe(dialog.Values), "img|-|-5|2|255|_");
}

// ---------------------------------------------------------------- Insert, Overwrite, Replace

TEST_F(NameDialogs, InsertIsFilledAndClosedWithOkThenCancelled) {
    TTrelInsertDialog& dialog = Application->Dialog<TTrelInsertDialog>();
    TTrelNumbersDialog& numbers = dialog.NumbersDialog();
    std::vector<std::string> seen;
    const auto record = [&] {
        seen.push_back(std::to_string(dialog.CustomEdit->IsEnabled()) +
                       std::to_string(dialog.NumbersButton->IsEnabled()) +
                       std::to_string(dialog.OkButton->IsEnabled()));
    };
    {
        TIdleScript script({
            record,
            [&] { ClickControl(dialog.NumberRadioButton); },
            record,
            [&] { ClickControl(dialog.CustomRadioButton); },
            record,
            [&] { PostText(dialog.CustomEdit->Handle(), "x_"); },
            record,
            [&] {
                ClickControl(dialog.NumberRadioButton);
                PostKey(VK_DOWN, dialog.PositionComboBox->Handle());
            },
            [&] { ClickControl(dialog.NumbersButton); },
            // Inside the Numbers dialog, over the Insert dialog.
            [&] {
                EXPECT_EQ(Modal<TTrelNumbersDialog>(), &numbers);
                Retype(numbers.DigitsEdit, "3");
            },
            [&] { ClickControl(numbers.OkButton); },
            record,
            [&] { ClickControl(dialog.OkButton); },
        });
        EXPECT_TRUE(dialog.Execute());
        EXPECT_EQ(script.StepsRun(), 13u);
    }
    // Number needs no custom text; Custom does.
    EXPECT_EQ(seen, (std::vector<std::string>{"100", "011", "100", "101", "011"}));
    EXPECT_EQ(dialog.Values.Part, pkBaseName);
    EXPECT_EQ(dialog.Values.Position, ipTail);
    EXPECT_EQ(Describe(dialog.Values.Source), "kind 1, custom \"x_\", numbers ||1|1|3|0");

    // Everything changed, the numbers accepted in their own dialog, then Cancel.
    {
        TIdleScript script({
            [&] { PostKey(VK_UP, dialog.PartComboBox->Handle()); },
            [&] { ClickControl(dialog.ClipboardRadioButton); },
            [&] { ClickControl(dialog.NumberRadioButton); },
            [&] { ClickControl(dialog.NumbersButton); },
            [&] { Retype(numbers.InitialEdit, "5"); },
            [&] { ClickControl(numbers.OkButton); },
            [&] { ClickControl(dialog.CancelButton); },
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_EQ(dialog.Values.Part, pkBaseName);
    EXPECT_EQ(Describe(dialog.Values.Source), "kind 1, custom \"x_\", numbers ||1|1|3|0");
    // The next show has the numbers of the last OK.
    std::string shown;
    {
        TIdleScript script({
            [&] {
                shown = dialog.PartComboBox->GetText() + "|" + dialog.PositionComboBox->GetText() + "|" +
                        std::to_string(dialog.NumberRadioButton->IsChecked());
                ClickControl(dialog.NumbersButton);
            },
            [&] {
                shown += "|" + numbers.InitialEdit->GetText() + "|" + numbers.DigitsEdit->GetText();
                PostKey(VK_ESCAPE, numbers.CancelButton->Handle());
            },
            [&] { PostKey(VK_ESCAPE, dialog.CancelButton->Handle()); },
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_EQ(shown, "Base name|Tail|1|1|3");
}

TEST_F(NameDialogs, EachTextSourceDialogKeepsItsOwnNumberSettings) {
    TTrelInsertDialog& insert = Application->Dialog<TTrelInsertDialog>();
    TTrelNumbersDialog& numbers = insert.NumbersDialog();
    {
        TIdleScript script({
            [&] { ClickControl(insert.NumberRadioButton); },
            [&] { ClickControl(insert.NumbersButton); },
            [&] { Retype(numbers.PrefixEdit, "ins"); },
            [&] { ClickControl(numbers.OkButton); },
            [&] { ClickControl(insert.OkButton); },
        });
        EXPECT_TRUE(insert.Execute());
    }
    EXPECT_EQ(Describe(insert.Values.Source.Specs.Number), "ins||1|1|1|0");
    // Created after Insert's OK: a new dialog starts from the Numbers dialog's
    // settings of that moment, and then keeps its own.
    TTrelOverwriteDialog& overwrite = Application->Dialog<TTrelOverwriteDialog>();
    EXPECT_EQ(&overwrite.NumbersDialog(), &numbers) << "one Numbers dialog for the three";
    EXPECT_EQ(Describe(overwrite.Values.Source.Specs.Number), "ins||1|1|1|0");
    {
        TIdleScript script({
            [&] { ClickControl(overwrite.NumberRadioButton); },
            [&] { ClickControl(overwrite.NumbersButton); },
            [&] { Retype(numbers.PrefixEdit, "over"); },
            [&] { ClickControl(numbers.OkButton); },
            [&] { ClickControl(overwrite.OkButton); },
        });
        EXPECT_TRUE(overwrite.Execute());
    }
    EXPECT_EQ(Describe(overwrite.Values.Source.Specs.Number), "over||1|1|1|0");
    EXPECT_EQ(Describe(insert.Values.Source.Specs.Number), "ins||1|1|1|0");
    // Insert's "..." shows Insert's own settings again.
    std::string shown;
    TIdleScript script({
        [&] { ClickControl(insert.NumbersButton); },
        [&] {
            shown = numbers.PrefixEdit->GetText();
            ClickControl(numbers.CancelButton);
        },
        [&] { ClickControl(insert.CancelButton); },
    });
    EXPECT_FALSE(insert.Execute());
    EXPECT_EQ(shown, "ins");
}

TEST_F(NameDialogs, OverwriteIsFilledAndClosedWithOkThenCancelled) {
    TTrelOverwriteDialog& dialog = Application->Dialog<TTrelOverwriteDialog>();
    {
        TIdleScript script({
            [&] { PostKey(VK_UP, dialog.PartComboBox->Handle()); },
            [&] { ClickControl(dialog.ClipboardRadioButton); },
            [&] {
                EXPECT_TRUE(dialog.OkButton->IsEnabled());
                EXPECT_FALSE(dialog.CustomEdit->IsEnabled());
                ClickControl(dialog.OkButton);
            },
        });
        EXPECT_TRUE(dialog.Execute());
    }
    EXPECT_EQ(dialog.Values.Part, pkName);
    EXPECT_EQ(dialog.Values.Source.Kind, skClipboard);
    {
        TIdleScript script({
            [&] { ClickControl(dialog.CustomRadioButton); },
            [&] { PostText(dialog.CustomEdit->Handle(), "new"); },
            [&] { PostEscapeToModal(); },
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_EQ(dialog.Values.Part, pkName);
    EXPECT_EQ(Describe(dialog.Values.Source), "kind 2, custom \"\", numbers ||1|1|1|0");
}

TEST_F(NameDialogs, ReplaceTakesAnEmptyOldTextAndTheMatchCase) {
    TTrelReplaceDialog& dialog = Application->Dialog<TTrelReplaceDialog>();
    {
        TIdleScript script({
            [&] { PostText(dialog.CustomEdit->Handle(), "jpg"); },
            [&] { ClickControl(dialog.MatchCaseCheckBox); },
            [&] { PostKey(VK_DOWN, dialog.PartComboBox->Handle()); },
            [&] {
                EXPECT_TRUE(dialog.OkButton->IsEnabled()) << "an empty old text matches nothing";
                PostKey(VK_RETURN, dialog.CustomEdit->Handle());
            },
        });
        EXPECT_TRUE(dialog.Execute());
    }
    EXPECT_EQ(dialog.Values.Part, pkExtension);
    EXPECT_EQ(dialog.Values.OldText, "");
    EXPECT_TRUE(dialog.Values.MatchCase);
    EXPECT_EQ(Describe(dialog.Values.Source), "kind 0, custom \"jpg\", numbers ||1|1|1|0");
    {
        TIdleScript script({
            [&] { PostText(dialog.OldTextEdit->Handle(), "jpeg"); },
            [&] { ClickControl(dialog.MatchCaseCheckBox); },
            [&] { ClickControl(dialog.CancelButton); },
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_EQ(dialog.Values.OldText, "");
    EXPECT_TRUE(dialog.Values.MatchCase);
}

TEST_F(NameDialogs, ReplaceShowsWhyAPatternIsRefusedAndKeepsTheOption) {
    TTrelReplaceDialog& dialog = Application->Dialog<TTrelReplaceDialog>();
    std::vector<std::string> seen;
    const auto record = [&] {
        seen.push_back(dialog.PatternLabel->GetText() + "|" + std::to_string(dialog.OkButton->IsEnabled()));
    };
    {
        TIdleScript script({
            [&] { PostText(dialog.OldTextEdit->Handle(), "IMG_(\\d+"); },
            [&] { PostText(dialog.CustomEdit->Handle(), "Holiday $1"); },
            record,
            [&] { ClickControl(dialog.RegularExpressionCheckBox); },
            record,
            [&] { PostText(dialog.OldTextEdit->Handle(), ")"); },
            record,
            [&] { ClickControl(dialog.OkButton); },
        });
        EXPECT_TRUE(dialog.Execute());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "|1",
                        "The regular expression is not valid: unmatched parenthesis.|0",
                        "|1",
                    }));
    EXPECT_EQ(dialog.Values.OldText, "IMG_(\\d+)");
    EXPECT_TRUE(dialog.Values.RegularExpression);
    // Shown again with the option; a cancel keeps it whatever was clicked.
    {
        TIdleScript script({
            [&] {
                EXPECT_TRUE(dialog.RegularExpressionCheckBox->IsChecked());
                ClickControl(dialog.RegularExpressionCheckBox);
            },
            [&] { ClickControl(dialog.CancelButton); },
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_TRUE(dialog.Values.RegularExpression);
}

// ---------------------------------------------------------------- Capitalize, Part, URL Encoding

TEST_F(NameDialogs, ComboBoxDialogsAreFilledAndClosedWithOkThenCancelled) {
    TTrelCapitalizeDialog& capitalize = Application->Dialog<TTrelCapitalizeDialog>();
    TTrelPartDialog& part = Application->Dialog<TTrelPartDialog>();
    TTrelUrlEncodingDialog& url = Application->Dialog<TTrelUrlEncodingDialog>();
    const auto describe = [&] {
        return std::to_string(capitalize.Values.Part) + std::to_string(capitalize.Values.Case) + " " +
               std::to_string(part.Values) + " " + std::to_string(url.Values.Part) +
               std::to_string(url.Values.Encoding);
    };
    const struct {
        const char* what;
        std::function<bool()> execute;
        std::vector<std::function<void()>> steps;
        const char* expected; // capitalize, part, URL encoding values afterwards
    } cases[] = {
        {"Capitalize OK",
         [&] { return capitalize.Execute(); },
         {[&] { PostKey(VK_DOWN, capitalize.CaseComboBox->Handle()); },
          [&] { PostKey(VK_DOWN, capitalize.CaseComboBox->Handle()); },
          [&] { PostKey(VK_UP, capitalize.PartComboBox->Handle()); },
          [&] { ClickControl(capitalize.OkButton); }},
         "02 1 10"},
        {"Capitalize Cancel",
         [&] { return capitalize.Execute(); },
         {[&] { PostKey(VK_DOWN, capitalize.PartComboBox->Handle()); },
          [&] { ClickControl(capitalize.CancelButton); }},
         "02 1 10"},
        {"Part OK",
         [&] { return part.Execute(); },
         {[&] { PostKey(VK_DOWN, part.PartComboBox->Handle()); }, [&] { PostKey(VK_RETURN); }},
         "02 2 10"},
        {"Part Cancel",
         [&] { return part.Execute(); },
         {[&] { PostKey(VK_UP, part.PartComboBox->Handle()); }, [&] { PostEscapeToModal(); }},
         "02 2 10"},
        {"URL Encoding OK",
         [&] { return url.Execute(); },
         {[&] { PostKey(VK_DOWN, url.EncodingComboBox->Handle()); },
          [&] { PostKey(VK_DOWN, url.PartComboBox->Handle()); }, [&] { ClickControl(url.OkButton); }},
         "02 2 21"},
        {"URL Encoding Cancel",
         [&] { return url.Execute(); },
         {[&] { PostKey(VK_UP, url.EncodingComboBox->Handle()); }, [&] { ClickControl(url.CancelButton); }},
         "02 2 21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TIdleScript script(c.steps);
        EXPECT_EQ(c.execute(), std::string(c.what).find("OK") != std::string::npos);
        EXPECT_EQ(script.StepsRun(), c.steps.size());
        EXPECT_EQ(describe(), c.expected);
    }
    // The values of the last OK are shown again.
    std::string shown;
    TIdleScript script({[&] {
        shown = url.PartComboBox->GetText() + "|" + url.EncodingComboBox->GetText();
        ClickControl(url.CancelButton);
    }});
    url.Execute();
    EXPECT_EQ(shown, "Extension|ANSI");
}

// ---------------------------------------------------------------- Free Edit

namespace {

// The memo's caret (or selection) as start-end.
void Select(const TEdit* memo, int start, int end) {
    SendMessageA(memo->Handle(), EM_SETSEL, static_cast<WPARAM>(start), end);
}

} // namespace

TEST_F(NameDialogs, FreeEditRefusesATextOfAnotherLineCountBeforeShowing) {
    TTrelFreeEditDialog& dialog = Application->Dialog<TTrelFreeEditDialog>();
    const struct {
        const char* text;
        int lines;
    } cases[] = {{"a\r\nb\r\n", 3}, {"a\r\nb\r\n", 1}, {"", 1}, {"x\ny\r\n", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        dialog.Values.Text = c.text;
        dialog.Values.LineCount = c.lines;
        TIdleScript watchdog({}, 3000);
        EXPECT_ERROR_MESSAGE(EInvalidOperation, dialog.Execute(), "The number of lines does not match.");
        EXPECT_FALSE(dialog.IsVisible());
    }
}

TEST_F(NameDialogs, TheClosingCheckShowsItsMessageAndKeepsTheDialogOpen) {
    Application->SetTitle("Trelvane");
    TTrelFreeEditDialog& dialog = Application->Dialog<TTrelFreeEditDialog>();
    dialog.Values.Text = "a\r\nb\r\n";
    dialog.Values.LineCount = 2;
    // Made when the box is due: it looks for the box until it finds it,
    // which would keep the modal loop from ever being idle.
    std::unique_ptr<TBoxCloser> closer;
    bool openAfterBox = false;
    TIdleScript script({
        [&] {
            Select(dialog.Memo, 0, -1);
            PostText(dialog.Memo->Handle(), "one line");
        },
        // OK is disabled; the check behind it still refuses a mismatch.
        [&] {
            closer = std::make_unique<TBoxCloser>();
            dialog.SetModalResult(mrOk);
        },
        [&] {
            openAfterBox = dialog.IsVisible() && dialog.GetModalResult() == mrNone;
            ClickControl(dialog.CancelButton);
        },
    });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_NE(closer, nullptr);
    EXPECT_TRUE(closer->Seen.Found);
    EXPECT_TRUE(closer->Seen.Shows("The number of lines does not match."));
    EXPECT_TRUE(openAfterBox);
    EXPECT_EQ(dialog.Values.Text, "a\r\nb\r\n");
    Application->SetTitle("");
}
