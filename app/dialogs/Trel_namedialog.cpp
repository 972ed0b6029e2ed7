#include "app/dialogs/Trel_namedialog.h"

#include "framework/Fw_sysutils.h"

#include <windows.h>

namespace {

// The line is worked out once the controls have not changed for this long:
// the pause between two keys of a typist is shorter.
constexpr unsigned kPreviewPauseMs = 200;
// Then a slice at a time, each this long at most, the queue's messages
// handled between two: a key pressed meanwhile waits no longer than a slice.
constexpr unsigned kPreviewSliceMs = 15;
// The clock is read after this many names: a few hundred names take well
// under a millisecond, so a slice hardly overruns.
constexpr int kPreviewNamesPerCheck = 256;
// The timer's interval between slices: as soon as the queue is empty.
constexpr unsigned kPreviewNextSliceMs = 1;

} // namespace

int ItemIndexOf(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

TPartKind PartFromIndex(int index) {
    if (index < pkName || index > pkExtension)
        throw EInvalidOperation("The part is not specified.");
    return static_cast<TPartKind>(index);
}

TInsertPosition PositionFromIndex(int index) {
    if (index < ipHead || index > ipTail)
        throw EInvalidOperation("The position is not specified.");
    return static_cast<TInsertPosition>(index);
}

TCharacterCase CaseFromIndex(int index) {
    if (index < ccLowerCase || index > ccBookTitle)
        throw EInvalidOperation("The case is not specified.");
    return static_cast<TCharacterCase>(index);
}

TCharacterEncoding EncodingFromIndex(int index) {
    if (index < ceUtf8 || index > ceAnsi)
        throw EInvalidOperation("The character encoding is not specified.");
    return static_cast<TCharacterEncoding>(index);
}

TFileDateKind DateFromIndex(int index) {
    if (index < static_cast<int>(TFileDateKind::Modified) || index > static_cast<int>(TFileDateKind::Taken))
        throw EInvalidOperation("The date is not specified.");
    return static_cast<TFileDateKind>(index);
}

TSrcLinesKind KindFromChecks(bool custom, bool number, bool clipboard, bool fileDate, bool folderName) {
    if (custom)
        return skCustom;
    if (number)
        return skNumber;
    if (clipboard)
        return skClipboard;
    if (fileDate)
        return skFileDate;
    if (folderName)
        return skFolderName;
    throw EInvalidOperation("The kind is not specified.");
}

// ---------------------------------------------------------------- TPreviewLine

TPreviewLine::TPreviewLine(TLabel& label) : FLabel(label) {
    FTimer.OnTimer = [this](TObject*) { Tick(); };
}

void TPreviewLine::SetNames(const TNames* names, const TEntries* entries) {
    FNames = names;
    FEntries = entries;
    FPreview.reset();
    FTimer.Stop();
    FLabel.SetText(std::string());
}

void TPreviewLine::Changed() {
    FPreview.reset();
    if (FNames && MakeStep)
        FTimer.Start(kPreviewPauseMs);
}

void TPreviewLine::Tick() {
    if (!FPreview) {
        // The controls' values, or the reason they are none, at this moment.
        try {
            const TNameStep step = MakeStep();
            if (ReadFor)
                ReadFor(step);
            FPreview = std::make_unique<TStepPreview>(step, *FNames, FEntries);
        } catch (const Exception& e) {
            FTimer.Stop();
            FLabel.SetText(e.Message());
            return;
        }
        FTimer.Start(kPreviewNextSliceMs);
    }
    FPreview->AdvanceFor(std::chrono::milliseconds(kPreviewSliceMs), kPreviewNamesPerCheck);
    FLabel.SetText(FPreview->Text());
    if (FPreview->Done())
        FTimer.Stop();
}
