// A name operation as a value: what one of the Name menu's dialogs was given,
// applied to a list of names without any window, told in messages, and
// worked out a slice at a time for a dialog's preview line. The dialogs' OK,
// Repeat Last Operation and presets all apply operations through it.
#pragma once

#include "app/names/Trel_nameedit.h"
#include "app/names/Trel_namepattern.h"
#include "app/names/Trel_rename.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TNameOperation : std::uint8_t {
    noInsert = 0,
    noOverwrite = 1,
    noReplace = 2,
    noCapitalize = 3,
    noUrlEncode = 4,
    noUrlDecode = 5,
};
// Their names, one a line, in the enumeration's order.
extern const char* const kOperationItems;
// The names of the text sources' kinds, one a line, in TSrcLinesKind's order.
extern const char* const kSourceItems;

// One name operation with its values. Each operation reads the part and its
// own values only: Insert the position and the source, Overwrite the source,
// Replace the old text, the source, match case and the regular expression
// option, Capitalize the case, the URL operations the encoding. The
// defaults are those of a dialog used for the first time.
struct TNameStep {
    TNameOperation Operation = noInsert;
    TPartKind Part = pkBaseName;
    TInsertPosition Position = ipHead;
    TTextSrcSpecs Source;
    std::string OldText;
    bool MatchCase = false;
    bool RegularExpression = false;
    TCharacterCase Case = ccLowerCase;
    TCharacterEncoding Encoding = ceUtf8;
};

// Whether the operation takes its text from a text source.
bool UsesSource(TNameOperation operation);

// The step in a few words, for lists and messages: Replace "IMG_" with
// "Holiday " in the base name; Upper case of the extension.
std::string DescribeStep(const TNameStep& step);

// The new names of the entries that a step edits, in list order. The
// entries themselves (TEntries), in the same order, go along for a text
// source that reads something of each entry (its folder, its file's dates):
// null where only names are known.
using TNames = std::vector<std::string>;

// The lines of the source for count entries, one each (the clipboard is read
// now); raises as the source does. The one place where a kind of source is
// turned into lines: a kind that reads the entries takes them from here.
void SourceLines(const TTextSrcSpecs& source, int count, const TEntries* entries, TStrings& lines);

// Whether the step's text comes from the entries' file dates, and whether
// from the date taken (which needs the photo read as well as the listing):
// what must have been read of the entries before the step is applied.
bool ReadsFileDates(const TNameStep& step);
bool ReadsDateTaken(const TNameStep& step);

// A step readied for a number of names: the text source's lines made (so the
// clipboard is read now) and a regular expression compiled. Raises as the
// source and the pattern do.
class TReadyStep {
public:
    TReadyStep(const TNameStep& step, int count, const TEntries* entries = nullptr);
    TReadyStep(const TReadyStep&) = delete;
    TReadyStep& operator=(const TReadyStep&) = delete;
    ~TReadyStep();

    // The k-th entry's new name made from its name; raises as the operation
    // does.
    std::string Apply(const std::string& name, int k) const;
    // Apply matches a regular expression: run it by RunWithMatcherStack.
    bool NeedsMatcherStack() const { return FPattern != nullptr; }

private:
    TNameStep FStep;
    TStringList FLines;
    std::unique_ptr<TNamePattern> FPattern;
};

// The step over every name, all or nothing: on an error the names are as
// they were and the error passes on unchanged. With failed, it then holds
// the index of the name the error arose on (-1: before any, as when the
// source's lines do not match).
void ApplyStep(const TNameStep& step, TNames& names, int* failed = nullptr, const TEntries* entries = nullptr);
// The steps in order over the names, all or nothing. An error raises
// ENameEditError naming the step and the name as the list shows it: "Step 2
// (Replace ...) fails on "IMG_0001.jpg": <why>".
void ApplySteps(const std::vector<TNameStep>& steps, TNames& names, const TEntries* entries = nullptr);

// What a step would make of names, worked out a slice at a time, so that a
// dialog stays responsive over a large selection. The names are not copied:
// they must outlive the preview.
class TStepPreview {
public:
    TStepPreview(TNameStep step, const TNames& names, const TEntries* entries = nullptr);
    TStepPreview(const TStepPreview&) = delete;
    TStepPreview& operator=(const TStepPreview&) = delete;
    ~TStepPreview();

    // The next slice: the step readied first, then up to count names worked
    // out. True once everything is.
    bool Advance(int count);
    // Slices of count names, the step readied first, until everything is
    // worked out or the time has passed: one run on the matcher's stack for
    // all of them. True once everything is.
    bool AdvanceFor(std::chrono::milliseconds time, int count);
    bool Done() const { return FDone; }
    // "IMG_0001.jpg -> Holiday 0001.jpg; 3 of 5 names change." once done,
    // "...; counting." before, or why the step cannot be applied. Over file
    // dates not all read, the first name only: "...; the dates of the other
    // 4 entries are read on OK."
    std::string Text() const;

private:
    // Readies the step when it is not (only that, unless readyAndWork), then
    // runs work, on the matcher's stack where the step needs it; what goes
    // wrong ends the preview with the reason.
    bool Attempt(const std::function<void()>& work, bool readyAndWork);
    void AdvanceNames(int end);

    TNameStep FStep;
    const TNames& FNames;
    const TEntries* FEntries;
    // The names worked out: all, or only the first when the step reads file
    // dates that have not all been read.
    int FCount;
    std::unique_ptr<TReadyStep> FReady;
    int FNext = 0;
    int FChanged = 0;
    std::string FFirstNew;
    std::string FProblem;
    bool FDone = false;
};

// The preview worked out whole.
std::string PreviewText(const TNameStep& step, const TNames& names);
