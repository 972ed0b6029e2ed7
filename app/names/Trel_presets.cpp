#include "app/names/Trel_presets.h"

#include "framework/Fw_sysutils.h"

#include <algorithm>
#include <cstdint>
#include <utility>

const char* const kPresetsFileName = "Presets.ini";

namespace {

const char* const kVersionKey = "Version";
const char* const kVersion = "1";
const char* const kOperationKey = "Operation";
const char* const kStepSection = "Step";

// ---------------------------------------------------------------- the keys of a step

// One key of a stored step: whether the step has it, its text, and the value
// a text gives (false for a text that is none of its values).
struct TStepKey {
    const char* Name;
    bool (*Applies)(const TNameStep& step);
    std::string (*Get)(const TNameStep& step);
    bool (*Set)(TNameStep& step, const std::string& text);
};

template <class T>
bool SetItem(const char* items, const std::string& text, T& value) {
    const int index = IndexOfItem(items, text);
    if (index < 0)
        return false;
    value = static_cast<T>(index);
    return true;
}

bool SetBool(const std::string& text, bool& value) {
    int number = 0;
    if (!TryStrToInt(text, number))
        return false;
    value = number != 0;
    return true;
}

std::string BoolText(bool value) {
    return value ? "1" : "0";
}

bool SetInt(const std::string& text, std::int32_t& value, std::int32_t lowest, std::int32_t highest) {
    int number = 0;
    if (!TryStrToInt(text, number) || number < lowest || number > highest)
        return false;
    value = number;
    return true;
}

constexpr std::int32_t kIntLowest = INT32_MIN;
constexpr std::int32_t kIntHighest = INT32_MAX;

bool Always(const TNameStep&) {
    return true;
}

template <TNameOperation... TOperations>
bool IsOperation(const TNameStep& step) {
    return ((step.Operation == TOperations) || ...);
}

template <TSrcLinesKind TKind>
bool IsSource(const TNameStep& step) {
    return UsesSource(step.Operation) && step.Source.Kind == TKind;
}

bool HasSource(const TNameStep& step) {
    return UsesSource(step.Operation);
}

TNumberSrcLinesSpecs& Numbers(TNameStep& step) {
    return step.Source.Specs.Number;
}

TDateSrcLinesSpecs& FileDate(TNameStep& step) {
    return step.Source.Specs.FileDate;
}

// In the order they are read: what decides whether a later key applies (the
// operation, the source's kind) and what the old text is checked by (the
// regular expression option, match case) comes first. A new kind of text
// source adds its word to kSourceItems and its keys here.
const TStepKey kStepKeys[] = {
    {kOperationKey, Always, [](const TNameStep& s) { return ItemAt(kOperationItems, s.Operation); },
     [](TNameStep& s, const std::string& t) { return SetItem(kOperationItems, t, s.Operation); }},
    {"Part", Always, [](const TNameStep& s) { return ItemAt(kPartItems, s.Part); },
     [](TNameStep& s, const std::string& t) { return SetItem(kPartItems, t, s.Part); }},
    {"Position", IsOperation<noInsert>, [](const TNameStep& s) { return ItemAt(kPositionItems, s.Position); },
     [](TNameStep& s, const std::string& t) { return SetItem(kPositionItems, t, s.Position); }},
    {"MatchCase", IsOperation<noReplace>, [](const TNameStep& s) { return BoolText(s.MatchCase); },
     [](TNameStep& s, const std::string& t) { return SetBool(t, s.MatchCase); }},
    {"RegularExpression", IsOperation<noReplace>, [](const TNameStep& s) { return BoolText(s.RegularExpression); },
     [](TNameStep& s, const std::string& t) { return SetBool(t, s.RegularExpression); }},
    {"OldText", IsOperation<noReplace>, [](const TNameStep& s) { return s.OldText; },
     [](TNameStep& s, const std::string& t) {
         s.OldText = t;
         return !s.RegularExpression || PatternProblem(t, s.MatchCase).empty();
     }},
    {"Source", HasSource, [](const TNameStep& s) { return ItemAt(kSourceItems, s.Source.Kind); },
     [](TNameStep& s, const std::string& t) { return SetItem(kSourceItems, t, s.Source.Kind); }},
    {"Text", IsSource<skCustom>, [](const TNameStep& s) { return s.Source.Specs.Custom.Text; },
     [](TNameStep& s, const std::string& t) { return s.Source.Specs.Custom.Text = t, true; }},
    {"Prefix", IsSource<skNumber>, [](const TNameStep& s) { return s.Source.Specs.Number.Prefix; },
     [](TNameStep& s, const std::string& t) { return Numbers(s).Prefix = t, true; }},
    {"Suffix", IsSource<skNumber>, [](const TNameStep& s) { return s.Source.Specs.Number.Suffix; },
     [](TNameStep& s, const std::string& t) { return Numbers(s).Suffix = t, true; }},
    {"Initial", IsSource<skNumber>, [](const TNameStep& s) { return IntToStr(s.Source.Specs.Number.Initial); },
     [](TNameStep& s, const std::string& t) { return SetInt(t, Numbers(s).Initial, kIntLowest, kIntHighest); }},
    {"Increment", IsSource<skNumber>, [](const TNameStep& s) { return IntToStr(s.Source.Specs.Number.Increment); },
     [](TNameStep& s, const std::string& t) { return SetInt(t, Numbers(s).Increment, kIntLowest, kIntHighest); }},
    {"Digits", IsSource<skNumber>, [](const TNameStep& s) { return IntToStr(s.Source.Specs.Number.Digits); },
     [](TNameStep& s, const std::string& t) { return SetInt(t, Numbers(s).Digits, 0, kMaxNumberDigits); }},
    {"Padding", IsSource<skNumber>, [](const TNameStep& s) { return std::string(1, s.Source.Specs.Number.Padding); },
     [](TNameStep& s, const std::string& t) { return t.size() == 1 && (Numbers(s).Padding = t[0], true); }},
    {"Date", IsSource<skFileDate>,
     [](const TNameStep& s) { return ItemAt(kDateItems, static_cast<int>(s.Source.Specs.FileDate.Date)); },
     [](TNameStep& s, const std::string& t) { return SetItem(kDateItems, t, FileDate(s).Date); }},
    // As in the dialog, a date needs a format to be written by.
    {"Format", IsSource<skFileDate>, [](const TNameStep& s) { return s.Source.Specs.FileDate.Pattern; },
     [](TNameStep& s, const std::string& t) { return !t.empty() && (FileDate(s).Pattern = t, true); }},
    {"Case", IsOperation<noCapitalize>, [](const TNameStep& s) { return ItemAt(kCaseItems, s.Case); },
     [](TNameStep& s, const std::string& t) { return SetItem(kCaseItems, t, s.Case); }},
    {"Encoding", IsOperation<noUrlEncode, noUrlDecode>,
     [](const TNameStep& s) { return ItemAt(kEncodingItems, s.Encoding); },
     [](TNameStep& s, const std::string& t) { return SetItem(kEncodingItems, t, s.Encoding); }},
};

// What is wrong with a value the program cannot take, or (without one) with
// a key that is missing.
std::string Problem(const TMemIniFile& file, const std::string& section, const std::string& key,
                    const std::string* value) {
    const std::string where = Format("The file \"%s\" cannot be used: in the section \"%s\", the key \"%s\"",
                                     file.FileName().c_str(), section.c_str(), key.c_str());
    if (value)
        return where + Format(" has a value that the program cannot take (\"%s\").", value->c_str());
    return where + " is missing.";
}

[[noreturn]] void Refuse(const TMemIniFile& file, const std::string& section, const std::string& key,
                         const std::string* value) {
    throw EPresetError(Problem(file, section, key, value));
}

// Reads the step's keys into step; what is wrong, or empty.
std::string ReadStepKeys(const TMemIniFile& file, const std::string& section, TNameStep& step) {
    if (!file.ValueExists(section, kOperationKey))
        return Problem(file, section, kOperationKey, nullptr);
    for (const TStepKey& key : kStepKeys) {
        if (!key.Applies(step) || !file.ValueExists(section, key.Name))
            continue;
        const std::string text = file.ReadString(section, key.Name, std::string());
        if (!key.Set(step, text))
            return Problem(file, section, key.Name, &text);
    }
    return std::string();
}

// ---------------------------------------------------------------- presets in a file

bool SamePresetName(const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) == 0;
}

std::string StepSection(const std::string& preset, int step) {
    return preset + "," + kStepSection + IntToStr(step);
}

// The section of the preset and its sub-sections, as the file names them.
std::vector<std::string> SectionsOf(const TMemIniFile& file, const std::string& name) {
    TStringList sections;
    file.ReadSections(sections);
    std::vector<std::string> result;
    const std::string prefix = name + ",";
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string& section = sections.Strings(i);
        if (SamePresetName(section, name) || SamePresetName(section.substr(0, prefix.size()), prefix))
            result.push_back(section);
    }
    return result;
}

TPreset ReadPreset(const TMemIniFile& file, const std::string& name) {
    if (!file.ValueExists(name, kVersionKey))
        Refuse(file, name, kVersionKey, nullptr);
    const std::string version = file.ReadString(name, kVersionKey, std::string());
    if (version != kVersion)
        Refuse(file, name, kVersionKey, &version);
    TPreset preset{name, {}};
    for (int step = 1; step == 1 || file.SectionExists(StepSection(name, step)); ++step)
        preset.Steps.push_back(ReadStep(file, StepSection(name, step)));
    return preset;
}

void SortByName(std::vector<TPreset>& presets) {
    std::stable_sort(presets.begin(), presets.end(),
                     [](const TPreset& a, const TPreset& b) { return AnsiCompareText(a.Name, b.Name) < 0; });
}

// The file written; an error says which file could not take the presets.
void WritePresetsFile(const TMemIniFile& file) {
    try {
        file.UpdateFile();
    } catch (const EIniFileError& e) {
        throw EPresetError(
            Format("The presets could not be written to \"%s\". %s", file.FileName().c_str(), e.Message().c_str()));
    }
}

} // namespace

void WriteStep(TMemIniFile& file, const std::string& section, const TNameStep& step) {
    for (const TStepKey& key : kStepKeys)
        if (key.Applies(step))
            file.WriteString(section, key.Name, key.Get(step));
}

TNameStep ReadStep(const TMemIniFile& file, const std::string& section) {
    TNameStep step;
    const std::string problem = ReadStepKeys(file, section, step);
    if (!problem.empty())
        throw EPresetError(problem);
    return step;
}

bool TryReadStep(const TMemIniFile& file, const std::string& section, TNameStep& step) {
    TNameStep read;
    if (!ReadStepKeys(file, section, read).empty())
        return false;
    step = read;
    return true;
}

std::string PresetNameProblem(const std::string& name) {
    if (name.empty())
        return "The preset has no name.";
    if (name.find_first_of(",[]=;\r\n") != std::string::npos || name.front() == ' ' || name.back() == ' ')
        return "A preset name cannot hold a comma, a square bracket, an equals sign or a semicolon, nor begin or "
               "end with a blank.";
    return std::string();
}

void CheckPresetName(const std::string& name) {
    const std::string problem = PresetNameProblem(name);
    if (!problem.empty())
        throw EPresetError(problem);
}

std::vector<TPreset> ReadPresets(const TMemIniFile& file) {
    TStringList sections;
    file.ReadSections(sections);
    std::vector<TPreset> presets;
    for (int i = 0; i < sections.Count(); ++i)
        if (sections.Strings(i).find(',') == std::string::npos)
            presets.push_back(ReadPreset(file, sections.Strings(i)));
    SortByName(presets);
    return presets;
}

void WritePreset(TMemIniFile& file, const TPreset& preset) {
    CheckPresetName(preset.Name);
    ErasePreset(file, preset.Name);
    file.WriteString(preset.Name, kVersionKey, kVersion);
    for (std::size_t i = 0; i < preset.Steps.size(); ++i)
        WriteStep(file, StepSection(preset.Name, static_cast<int>(i + 1)), preset.Steps[i]);
}

void ErasePreset(TMemIniFile& file, const std::string& name) {
    for (const std::string& section : SectionsOf(file, name))
        file.EraseSection(section);
}

// ---------------------------------------------------------------- TPresetStore

void TPresetStore::Load() {
    std::vector<TPreset> presets = ReadPresets(TMemIniFile(FFileName));
    FPresets = std::move(presets);
}

const TPreset* TPresetStore::Find(const std::string& name) const {
    for (const TPreset& preset : FPresets)
        if (SamePresetName(preset.Name, name))
            return &preset;
    return nullptr;
}

template <class F>
void TPresetStore::Change(F&& change) {
    TMemIniFile file(FFileName);
    ReadPresets(file);
    change(file);
    std::vector<TPreset> presets = ReadPresets(file);
    WritePresetsFile(file);
    FPresets = std::move(presets);
}

void TPresetStore::Save(const TPreset& preset) {
    Change([&](TMemIniFile& file) { WritePreset(file, preset); });
}

void TPresetStore::Rename(const std::string& name, const std::string& newName) {
    CheckPresetName(newName);
    Change([&](TMemIniFile& file) {
        // Key by key, so that what the program does not know moves along.
        const std::vector<std::string> sections = SectionsOf(file, name);
        if (!SamePresetName(name, newName))
            ErasePreset(file, newName);
        for (const std::string& section : sections) {
            const std::string renamed = newName + section.substr(name.size());
            TStringList keys;
            file.ReadSection(section, keys);
            std::vector<std::pair<std::string, std::string>> values;
            for (int i = 0; i < keys.Count(); ++i)
                values.emplace_back(keys.Strings(i), file.ReadString(section, keys.Strings(i), std::string()));
            file.EraseSection(section);
            for (const auto& [key, value] : values)
                file.WriteString(renamed, key, value);
        }
    });
}

void TPresetStore::Delete(const std::string& name) {
    Change([&](TMemIniFile& file) { ErasePreset(file, name); });
}

void TPresetStore::Add(const std::vector<TPreset>& presets) {
    Change([&](TMemIniFile& file) {
        for (const TPreset& preset : presets)
            WritePreset(file, preset);
    });
}

void ExportPresets(const std::string& fileName, const std::vector<TPreset>& presets) {
    TMemIniFile file(fileName);
    file.Clear();
    for (const TPreset& preset : presets)
        WritePreset(file, preset);
    WritePresetsFile(file);
}

std::vector<TPreset> ImportPresets(const std::string& fileName) {
    const TMemIniFile file(fileName);
    std::vector<TPreset> presets = ReadPresets(file);
    if (presets.empty())
        throw EPresetError(Format("The file \"%s\" holds no preset.", fileName.c_str()));
    return presets;
}
