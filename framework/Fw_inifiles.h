// An INI file held whole in memory.
#pragma once

#include "framework/Fw_classes.h"

#include <string>
#include <vector>

// Reading or writing the file on disk failed, or a name or value cannot be stored.
class EIniFileError : public Exception {
public:
    using Exception::Exception;
};

// The whole file is read at construction and written back whole by UpdateFile.
// Sections and keys are matched without regard to case, as Windows does; reads
// and writes go to the first section of a name and the first key of a name in
// it. Lines the class does not understand (comments, damaged lines, later
// duplicates) are kept where they stand and written back unchanged.
class TMemIniFile : public TObject {
public:
    // A missing file gives an empty one; a file that exists but cannot be read
    // raises EIniFileError, so that a later write never replaces it unread.
    explicit TMemIniFile(std::string fileName);

    const std::string& FileName() const { return FFileName; }

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) const;
    // A value that is not an integer gives the default.
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const;
    // Read as an integer, non-zero meaning true.
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const;

    // The section and the key are added when missing. A section name holding
    // "]" or a line break, a key that is empty, has outer blanks, holds "=" or
    // a line break or starts with "[" or ";", and a value with a line break
    // raise EIniFileError and change nothing.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    // Written as "1" or "0".
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    // The section names, each once, in the order of the file.
    void ReadSections(TStrings& strings) const;
    // The key names of a section, in the order of the file.
    void ReadSection(const std::string& section, TStrings& strings) const;
    // Removes every section of that name with all its lines.
    void EraseSection(const std::string& section);
    // Removes every key of that name from the section.
    void DeleteKey(const std::string& section, const std::string& ident);
    // Forgets everything; the file on disk is untouched until UpdateFile.
    void Clear();

    // The file's text as UpdateFile writes it (lines ended by CR LF).
    std::string GetText() const;
    // Replaces the contents by the text, parsed as the file is. A leading
    // UTF-8 byte-order mark is skipped (and not written back).
    void SetText(const std::string& text);

    // Writes the whole text to a new file beside the target and then replaces
    // the target with it in one step, so the target is never left truncated or
    // half-written. A read-only target is not replaced. Failure raises
    // EIniFileError; the target is then as it was and no new file remains.
    void UpdateFile() const;

private:
    struct TLine {
        std::string Text; // the line as read, or as rebuilt after a write
        std::string Key;  // empty for a line that is not a key
        std::string Value;
    };
    struct TSection {
        std::string Name;
        bool HasHeader = true; // false only for the lines before the first header
        std::string Header;
        std::vector<TLine> Lines;
    };

    TSection* FindSection(const std::string& section);
    const TSection* FindSection(const std::string& section) const;
    static const TLine* FindKey(const TSection& section, const std::string& ident);

    std::string FFileName;
    std::vector<TSection> FSections;
};
