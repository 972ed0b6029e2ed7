#include "app/dialogs/Trel_resultsdialog.h"

#include <array>

// ---------------------------------------------------------------- TResultsCounter

namespace {

[[noreturn]] void ResultNotSupported() {
    throw ERenameError("The result is not supported.");
}

} // namespace

int TResultsCounter::Index(TRenameItemResult result) {
    switch (result) {
    case TRenameItemResult::Succeeded:
        return 0;
    case TRenameItemResult::Failed:
        return 1;
    case TRenameItemResult::Skipped:
        return 2;
    case TRenameItemResult::None:
        return 3;
    }
    ResultNotSupported();
}

void TResultsCounter::Reset() {
    FCounts.fill(0);
}

void TResultsCounter::Add(TRenameItemResult result) {
    ++FCounts[static_cast<size_t>(Index(result))];
}

std::int32_t TResultsCounter::Count(TRenameItemResult result) const {
    return FCounts[static_cast<size_t>(Index(result))];
}

std::int32_t TResultsCounter::Total() const {
    return FCounts[0] + FCounts[1] + FCounts[2] + FCounts[3];
}

// ---------------------------------------------------------------- result icons

namespace {

constexpr int kIconSize = 16;

// A white sign on a round badge of the result's colour.
struct TResultPicture {
    TRenameItemResult Result;
    COLORREF Fill;
    COLORREF Rim;
    std::array<const char*, kIconSize> Sign; // 'w': white
};

// clang-format off
const TResultPicture kResultPictures[] = {
    {TRenameItemResult::Succeeded, RGB(40, 160, 70), RGB(20, 105, 40), {
        "................",
        "................",
        "................",
        "................",
        "..........ww....",
        ".........www....",
        "........www.....",
        "...ww..www......",
        "...wwwwww.......",
        "....wwww........",
        ".....ww.........",
        "................",
        "................",
        "................",
        "................",
        "................"}},
    {TRenameItemResult::Failed, RGB(215, 50, 60), RGB(145, 25, 35), {
        "................",
        "................",
        "................",
        "................",
        "....ww....ww....",
        ".....ww..ww.....",
        "......wwww......",
        ".......ww.......",
        ".......ww.......",
        "......wwww......",
        ".....ww..ww.....",
        "....ww....ww....",
        "................",
        "................",
        "................",
        "................"}},
    {TRenameItemResult::Skipped, RGB(30, 120, 210), RGB(15, 75, 145), {
        "................",
        "................",
        "................",
        "................",
        "....w.....ww....",
        "....ww....ww....",
        "....www...ww....",
        "....wwww..ww....",
        "....wwww..ww....",
        "....www...ww....",
        "....ww....ww....",
        "....w.....ww....",
        "................",
        "................",
        "................",
        "................"}},
    {TRenameItemResult::None, RGB(160, 160, 160), RGB(105, 105, 105), {
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....wwwwwwww....",
        "....wwwwwwww....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................"}},
};
// clang-format on

// A 32-bit pixel as a bitmap stores it: blue, green, red, alpha.
std::uint32_t OpaquePixel(COLORREF color) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

} // namespace

TIconHandle CreateResultIcon(TRenameItemResult result) {
    const TResultPicture* picture = nullptr;
    for (const TResultPicture& candidate : kResultPictures)
        if (candidate.Result == result)
            picture = &candidate;
    if (!picture)
        ResultNotSupported();
    // Colour pixels and the mask, rows from the top; a mask bit of 1 keeps
    // what lies beneath (the transparent corners outside the badge).
    std::array<std::uint32_t, kIconSize * kIconSize> color{};
    std::array<std::uint8_t, kIconSize * kIconSize / 8> mask{};
    const double center = (kIconSize - 1) / 2.0;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            const double dx = x - center;
            const double dy = y - center;
            const double distance2 = dx * dx + dy * dy;
            const size_t pixel = static_cast<size_t>(y * kIconSize + x);
            if (distance2 > 7.5 * 7.5) {
                mask[pixel / 8] = static_cast<std::uint8_t>(mask[pixel / 8] | (0x80u >> (pixel % 8)));
            } else if (picture->Sign[static_cast<size_t>(y)][x] == 'w') {
                color[pixel] = OpaquePixel(RGB(255, 255, 255));
            } else {
                color[pixel] = OpaquePixel(distance2 > 6.3 * 6.3 ? picture->Rim : picture->Fill);
            }
        }
    }
    TBitmapHandle colorBitmap(CreateBitmap(kIconSize, kIconSize, 1, 32, color.data()));
    TBitmapHandle maskBitmap(CreateBitmap(kIconSize, kIconSize, 1, 1, mask.data()));
    if (!colorBitmap || !maskBitmap)
        throw EInvalidOperation("The program could not create an icon.");
    // The icon gets copies of the bitmaps.
    ICONINFO info{TRUE, 0, 0, maskBitmap.Get(), colorBitmap.Get()};
    TIconHandle icon(CreateIconIndirect(&info));
    if (!icon)
        throw EInvalidOperation("The program could not create an icon.");
    return icon;
}

// ---------------------------------------------------------------- TTrelResultsDialog

namespace {

constexpr const char* kGroupBox = "ResultsGroupBox";

// Rows 30 pixels apart inside the group box: icon, caption, value.
const TControlDef kControls[] = {
    {ckButton, "CloseButton", 285, 200, 101, 26, "Close", coDefault | coCancel, mrOk},
    {ckGroupBox, kGroupBox, 10, 10, 376, 176, "Results"},
    {ckImage, "SucceededImage", 10, 20, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "SucceededLabel", 40, 20, 161, 26, "Succeeded:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SucceededValue", 205, 20, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "FailedImage", 10, 50, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "FailedLabel", 40, 50, 161, 26, "Failed:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "FailedValue", 205, 50, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "SkippedImage", 10, 80, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "SkippedLabel", 40, 80, 161, 26, "Skipped:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "SkippedValue", 205, 80, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckImage, "NoneImage", 10, 110, 26, 26, "", coNone, mrNone, kGroupBox},
    {ckLabel, "NoneLabel", 40, 110, 161, 26, "None:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "NoneValue", 205, 110, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "TotalLabel", 40, 140, 161, 26, "Total:", coCenterVertically, mrNone, kGroupBox},
    {ckLabel, "TotalValue", 205, 140, 161, 26, "0", coNoPrefix | coCenterVertically, mrNone, kGroupBox},
};

// The controls' names by row, in the order of kResultRows, then the total.
const char* const kRowNames[] = {"Succeeded", "Failed", "Skipped", "None", "Total"};

} // namespace

TTrelResultsDialog::TTrelResultsDialog()
    : TForm({"Results", 396, 236, bsDialog, poMainFormCenter}),
      FCounter(std::make_unique<TResultsCounter>()) {
    CreateControls(kControls);
    CloseButton = &Control<TButton>("CloseButton");
    ResultsGroupBox = &Control<TGroupBox>(kGroupBox);
    for (int row = 0; row <= kResultRowCount; ++row) {
        const std::string name = kRowNames[row];
        CaptionLabels[row] = &Control<TLabel>(name + "Label");
        ValueLabels[row] = &Control<TLabel>(name + "Value");
        if (row < kResultRowCount) {
            ResultImages[row] = &Control<TImage>(name + "Image");
            ResultImages[row]->SetIcon(CreateResultIcon(kResultRows[row]));
        }
    }
}

TTrelResultsDialog::~TTrelResultsDialog() = default;

void TTrelResultsDialog::Display() {
    for (int row = 0; row < kResultRowCount; ++row)
        ValueLabels[row]->SetText(IntToStr(FCounter->Count(kResultRows[row])));
    ValueLabels[kResultRowCount]->SetText(IntToStr(FCounter->Total()));
    ShowModal();
}
