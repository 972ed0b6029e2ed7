#include "app/names/Trel_namestep.h"

#include "app/names/Trel_fileinfo.h"
#include "framework/Fw_sysutils.h"

#include <algorithm>
#include <utility>

const char* const kOperationItems = "Insert\nOverwrite\nReplace\nCapitalize\nURL Encode\nURL Decode";
const char* const kSourceItems = "Custom\nNumber\nClipboard\nFile date\nFolder name";

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// "the base name"
std::string ThePart(TPartKind part) {
    return "the " + LowerCaseText(ItemAt(kPartItems, part));
}

// The text that a source gives each entry, in a few words.
std::string DescribeSource(const TTextSrcSpecs& source) {
    switch (source.Kind) {
    case skCustom:
        return Quoted(source.Specs.Custom.Text);
    case skNumber: {
        const TNumberSrcLinesSpecs& number = source.Specs.Number;
        const std::int64_t first = number.Initial;
        return "the numbers " + Quoted(number.Line(first)) + ", " + Quoted(number.Line(first + number.Increment)) +
               ", ...";
    }
    case skClipboard:
        return "the clipboard's lines";
    case skFileDate: {
        const TDateSrcLinesSpecs& date = source.Specs.FileDate;
        const std::string kind = date.Date == TFileDateKind::Taken
                                     ? "the date taken"
                                     : "the " + LowerCaseText(ItemAt(kDateItems, static_cast<int>(date.Date))) + " date";
        return kind + " as " + Quoted(date.Pattern);
    }
    case skFolderName:
        return "the folder's name";
    }
    return "an unknown text";
}

std::string DescribeReplace(const TNameStep& step) {
    std::string text = "Replace " + Quoted(step.OldText) + " with " + DescribeSource(step.Source) + " in " +
                       ThePart(step.Part);
    if (step.RegularExpression)
        text += " (a regular expression)";
    if (step.MatchCase)
        text += ", matching case";
    return text;
}

} // namespace

bool UsesSource(TNameOperation operation) {
    return operation == noInsert || operation == noOverwrite || operation == noReplace;
}

std::string DescribeStep(const TNameStep& step) {
    switch (step.Operation) {
    case noInsert:
        return "Insert " + DescribeSource(step.Source) + " at the " + LowerCaseText(ItemAt(kPositionItems, step.Position)) +
               " of " + ThePart(step.Part);
    case noOverwrite:
        return "Overwrite " + ThePart(step.Part) + " with " + DescribeSource(step.Source);
    case noReplace:
        return DescribeReplace(step);
    case noCapitalize:
        return ItemAt(kCaseItems, step.Case) + " of " + ThePart(step.Part);
    case noUrlEncode:
    case noUrlDecode:
        return ItemAt(kOperationItems, step.Operation) + " " + ThePart(step.Part) + " as " +
               ItemAt(kEncodingItems, step.Encoding);
    }
    return "An unknown operation";
}

// ---------------------------------------------------------------- TReadyStep

void SourceLines(const TTextSrcSpecs& source, int count, const TEntries* entries, TStrings& lines) {
    if (source.ReadsEntries())
        source.GetCurrentOfEntries().GetLines(count, entries, lines);
    else
        source.GetCurrent().GetLines(count, lines);
}

bool ReadsFileDates(const TNameStep& step) {
    return UsesSource(step.Operation) && step.Source.Kind == skFileDate;
}

bool ReadsDateTaken(const TNameStep& step) {
    return ReadsFileDates(step) && step.Source.Specs.FileDate.Date == TFileDateKind::Taken;
}

TReadyStep::TReadyStep(const TNameStep& step, int count, const TEntries* entries) : FStep(step) {
    if (UsesSource(step.Operation))
        SourceLines(step.Source, count, entries, FLines);
    if (step.Operation == noReplace && step.RegularExpression)
        FPattern = std::make_unique<TNamePattern>(step.OldText, step.MatchCase);
}

TReadyStep::~TReadyStep() = default;

std::string TReadyStep::Apply(const std::string& name, int k) const {
    const TNameStep& s = FStep;
    switch (s.Operation) {
    case noInsert:
        return InsertIntoPart(name, s.Part, s.Position, FLines.Strings(k));
    case noOverwrite:
        return OverwritePart(name, s.Part, FLines.Strings(k));
    case noReplace:
        if (FPattern)
            return ReplaceMatchesInPart(name, s.Part, *FPattern, FLines.Strings(k));
        return ReplaceInPart(name, s.Part, s.OldText, FLines.Strings(k), s.MatchCase);
    case noCapitalize:
        return CapitalizePart(name, s.Part, s.Case);
    case noUrlEncode:
        return UrlEncodePart(name, s.Part, s.Encoding);
    case noUrlDecode:
        return UrlDecodePart(name, s.Part, s.Encoding);
    }
    throw ENameEditError("The operation is not supported.");
}

// ---------------------------------------------------------------- applying

void ApplyStep(const TNameStep& step, TNames& names, int* failed, const TEntries* entries) {
    if (failed)
        *failed = -1;
    const int count = static_cast<int>(names.size());
    const TReadyStep ready(step, count, entries);
    TNames result(names.size());
    int k = 0;
    const auto run = [&] {
        for (; k < count; ++k)
            result[static_cast<std::size_t>(k)] = ready.Apply(names[static_cast<std::size_t>(k)], k);
    };
    try {
        if (ready.NeedsMatcherStack())
            RunWithMatcherStack(run);
        else
            run();
    } catch (...) {
        // Rethrown as it came; only the place is noted.
        if (failed)
            *failed = k;
        throw;
    }
    names = std::move(result);
}

void ApplySteps(const std::vector<TNameStep>& steps, TNames& names, const TEntries* entries) {
    TNames work = names;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        int failed = -1;
        try {
            ApplyStep(steps[i], work, &failed, entries);
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            const std::string where =
                failed >= 0 ? " fails on " + Quoted(names[static_cast<std::size_t>(failed)]) : " fails";
            throw ENameEditError(Format("Step %d (%s)%s: %s", static_cast<int>(i + 1),
                                        DescribeStep(steps[i]).c_str(), where.c_str(), e.Message().c_str()));
        }
    }
    names = std::move(work);
}

// ---------------------------------------------------------------- TStepPreview

TStepPreview::TStepPreview(TNameStep step, const TNames& names, const TEntries* entries)
    : FStep(std::move(step)), FNames(names), FEntries(entries), FCount(static_cast<int>(names.size())) {
    // Only what has been read is worked out: reading the dates of a large
    // selection waits for the step to be applied.
    const bool taken = ReadsDateTaken(FStep);
    if (FCount > 1 && entries && ReadsFileDates(FStep) &&
        std::any_of(entries->begin(), entries->end(), [taken](const TRenameItem* entry) {
            return NeedsFileInfo(*entry, taken);
        }))
        FCount = 1;
    FDone = names.empty();
}

TStepPreview::~TStepPreview() = default;

bool TStepPreview::Advance(int count) {
    return Attempt([&] { AdvanceNames(std::min(FCount, FNext + count)); }, false);
}

bool TStepPreview::AdvanceFor(std::chrono::milliseconds time, int count) {
    const auto end = std::chrono::steady_clock::now() + time;
    return Attempt(
        [&] {
            do
                AdvanceNames(std::min(FCount, FNext + count));
            while (FNext < FCount && std::chrono::steady_clock::now() < end);
        },
        true);
}

bool TStepPreview::Attempt(const std::function<void()>& work, bool readyAndWork) {
    if (FDone)
        return true;
    // What goes wrong is what the line tells; nothing else is left to do.
    try {
        if (!FReady) {
            FReady = std::make_unique<TReadyStep>(FStep, FCount, FEntries);
            if (!readyAndWork)
                return false;
        }
        if (FReady->NeedsMatcherStack())
            RunWithMatcherStack(work);
        else
            work();
        FDone = FNext == FCount;
    } catch (const Exception& e) {
        FProblem = FReady ? Quoted(FNames[static_cast<std::size_t>(FNext)]) + " cannot be changed: " + e.Message()
                          : e.Message();
        FDone = true;
    }
    return FDone;
}

void TStepPreview::AdvanceNames(int end) {
    for (; FNext < end; ++FNext) {
        const std::string& name = FNames[static_cast<std::size_t>(FNext)];
        std::string changed = FReady->Apply(name, FNext);
        if (changed != name)
            ++FChanged;
        if (FNext == 0)
            FFirstNew = std::move(changed);
    }
}

std::string TStepPreview::Text() const {
    if (!FProblem.empty())
        return FProblem;
    if (FNames.empty() || FNext == 0)
        return std::string();
    const std::string first = FNames.front() + " -> " + FFirstNew + "; ";
    const int total = static_cast<int>(FNames.size());
    if (!FDone)
        return first + "counting.";
    if (FCount < total)
        return first + Format("the dates of the other %d entries are read on OK.", total - FCount);
    return first + Format("%d of %d names change.", FChanged, total);
}

std::string PreviewText(const TNameStep& step, const TNames& names) {
    TStepPreview preview(step, names);
    while (!preview.Advance(static_cast<int>(names.size())))
        ;
    return preview.Text();
}
