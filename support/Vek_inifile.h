// The names of the settings sections.
#pragma once

#include "framework/Fw_classes.h"

#include <string>

// A stack of section name parts. Code that stores settings pushes the part of
// its own object, and the section it reads and writes is the whole stack
// joined with commas ("MainForm,ViewHandler"), so nested objects get flat
// section names without knowing where they sit.
class TIniSection : public TObject {
public:
    TIniSection() = default;

    void Push(const std::string& name);
    // On an empty stack: the string list's index error.
    void Pop();
    // The parts from bottom to top joined with the delimiter, as they are (no
    // quoting); an empty stack gives the empty string.
    std::string GetSectionName() const;

private:
    TStringList FParts;
};

// Pushes a part for the guard's life, so that the stack is handed back as it
// came also when a read or a write fails.
class TSubSection {
public:
    TSubSection(TIniSection& section, const std::string& name) : FSection(section) { FSection.Push(name); }
    TSubSection(const TSubSection&) = delete;
    TSubSection& operator=(const TSubSection&) = delete;
    ~TSubSection() { FSection.Pop(); }

private:
    TIniSection& FSection;
};
