// Name operations stored as INI keys that a person can read and edit: the
// steps of the presets in "Presets.ini" (and in an exported file, which has
// the same shape), and the recent operations in the settings.
#pragma once

#include "app/names/Trel_namestep.h"
#include "framework/Fw_inifiles.h"

#include <string>
#include <vector>

// A stored step or preset that cannot be taken, a preset name that cannot be
// one, a file of presets that cannot be written.
class EPresetError : public Exception {
public:
    using Exception::Exception;
};

// Writes the step's keys into the section: the operation, the part and the
// values that the operation reads (of a text source only its kind's own).
// The section's other keys stay.
void WriteStep(TMemIniFile& file, const std::string& section, const TNameStep& step);
// The step of the section. A missing key keeps the value of a dialog used
// for the first time, but "Operation" must be there; a value that the
// program cannot take (an unknown word, a number out of range, a regular
// expression that does not compile) raises EPresetError naming the file,
// the section and the key. Keys the program does not know are left alone.
TNameStep ReadStep(const TMemIniFile& file, const std::string& section);
// As ReadStep, but false instead of the error (step then as it was).
bool TryReadStep(const TMemIniFile& file, const std::string& section, TNameStep& step);

struct TPreset {
    std::string Name;
    std::vector<TNameStep> Steps;
};

extern const char* const kPresetsFileName;
// Why the text cannot name a preset (it would not come back as the same
// section of the file), or empty.
std::string PresetNameProblem(const std::string& name);
// Raises EPresetError with the problem.
void CheckPresetName(const std::string& name);

// Every preset of the file, in name order: each section whose name holds no
// comma is one, with "Version" 1; its steps are in the sections
// "<name>,Step1", "<name>,Step2"... up to the first that is missing, and it
// has at least one. All or nothing: one damaged preset raises EPresetError.
std::vector<TPreset> ReadPresets(const TMemIniFile& file);
// The preset's section and its steps' sections, written anew.
void WritePreset(TMemIniFile& file, const TPreset& preset);
// The preset's section and all of its sub-sections.
void ErasePreset(TMemIniFile& file, const std::string& name);

// The presets of one file, in name order. Every change reads the file anew
// (another copy of the program may have written it), makes the change, and
// writes it whole: what the program does not know in it stays, and a change
// that fails (a damaged or read-only file) raises and changes nothing.
class TPresetStore {
public:
    explicit TPresetStore(std::string fileName = std::string()) : FFileName(std::move(fileName)) {}

    void SetFileName(const std::string& fileName) { FFileName = fileName; }
    // Reads the file (a missing one holds no preset); a damaged one raises
    // and leaves the presets as they were.
    void Load();
    const std::vector<TPreset>& Presets() const { return FPresets; }
    // The preset of the name (case ignored), or null.
    const TPreset* Find(const std::string& name) const;

    // The preset added, or put in place of the one of its name.
    void Save(const TPreset& preset);
    void Rename(const std::string& name, const std::string& newName);
    void Delete(const std::string& name);
    // Each preset added or put in place of the one of its name.
    void Add(const std::vector<TPreset>& presets);

private:
    template <class F>
    void Change(F&& change);

    std::string FFileName;
    std::vector<TPreset> FPresets;
};

// Writes the presets alone into the file, replacing whatever it held.
void ExportPresets(const std::string& fileName, const std::vector<TPreset>& presets);
// The presets of a file written by ExportPresets (or by a person); a file
// without any raises EPresetError.
std::vector<TPreset> ImportPresets(const std::string& fileName);
