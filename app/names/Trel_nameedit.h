// The name edit operations of the Name menu: the name value and its parts,
// and the text sources that give one line per selected entry.
#pragma once

#include "app/names/Trel_namepattern.h"
#include "app/names/Trel_rename.h"
#include "framework/Fw_classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The values are the indexes of the items in the dialogs' combo boxes.
enum TPartKind : std::uint8_t { pkName = 0, pkBaseName = 1, pkExtension = 2 };
enum TInsertPosition : std::uint8_t { ipHead = 0, ipTail = 1 };
enum TCharacterCase : std::uint8_t { ccLowerCase = 0, ccUpperCase = 1, ccBookTitle = 2 };
enum TCharacterEncoding : std::uint8_t { ceUtf8 = 0, ceAnsi = 1 };
enum TSrcLinesKind : std::uint8_t { skCustom = 0, skNumber = 1, skClipboard = 2, skFileDate = 3, skFolderName = 4 };

// The names of the values, one a line, in the order of the enumerations: the
// items of the dialogs' combo boxes and the words of stored operations.
extern const char* const kPartItems;
extern const char* const kPositionItems;
extern const char* const kCaseItems;
extern const char* const kEncodingItems;
// In TFileDateKind's order.
extern const char* const kDateItems;
// The line of the items at the index; empty outside them.
std::string ItemAt(const char* items, int index);
// The index of the line that is the word (case ignored), or -1.
int IndexOfItem(const char* items, const std::string& word);


// One name (of a file or a directory; both are split alike) and the edits of
// the Name menu. An operation that throws leaves the name unchanged.
class TRenameName {
public:
    explicit TRenameName(std::string text) : FText(std::move(text)) {}
    virtual ~TRenameName() = default;

    virtual std::string GetText() const;
    virtual void Assign(const TRenameName& source);
    virtual void Insert(TInsertPosition position, const std::string& text);
    virtual void Overwrite(const std::string& text);
    // Replaces every occurrence of oldText, scanning from the left and going on
    // after each match, so matches never overlap and the new text is never
    // searched. Without match case both sides are compared in upper case. A
    // match starts and ends between characters: it never splits a double-byte
    // character. An empty oldText matches nothing.
    virtual void Replace(const std::string& oldText, const std::string& newText, bool matchCase);
    virtual void Capitalize(TCharacterCase characterCase);
    // ceUtf8: the ANSI text becomes UTF-8 bytes (bytes that are no character
    // of the code page raise ENameEditError); ceAnsi: unchanged.
    virtual void EncodeCharacters(TCharacterEncoding encoding);
    // ceUtf8: UTF-8 bytes become ANSI text; malformed UTF-8 and a character
    // that the code page cannot hold raise ENameEditError and leave the text
    // as it was (never a look-alike or "?"). ceAnsi: unchanged.
    virtual void DecodeCharacters(TCharacterEncoding encoding);
    virtual void UrlEncode();
    virtual void UrlDecode();
    // Every match of the pattern replaced as TNamePattern::Replace says.
    void ReplaceMatches(const TNamePattern& pattern, const std::string& replacement);

    // The parts follow the path part rules: the final component starts after
    // the last backslash or colon; the extension follows its last dot.
    std::string GetPart(TPartKind kind) const;
    // The extension is given with or without its dot; an empty one removes it.
    void SetPart(TPartKind kind, const std::string& text);

private:
    std::string FText;
};

// The text capitalizer's three cases of a text.
std::string LowerCaseText(const std::string& text);
std::string UpperCaseText(const std::string& text);
std::string BookTitleText(const std::string& text);

// What the Name menu does to one entry's new name: take the part, edit it,
// set it back. Each returns the new name; on an error the caller's name is
// untouched.
std::string EditNamePart(const std::string& name, TPartKind part,
                         const std::function<void(TRenameName&)>& edit);
std::string InsertIntoPart(const std::string& name, TPartKind part, TInsertPosition position,
                           const std::string& line);
std::string OverwritePart(const std::string& name, TPartKind part, const std::string& line);
std::string ReplaceInPart(const std::string& name, TPartKind part, const std::string& oldText,
                          const std::string& newText, bool matchCase);
std::string ReplaceMatchesInPart(const std::string& name, TPartKind part, const TNamePattern& pattern,
                                 const std::string& replacement);
std::string CapitalizePart(const std::string& name, TPartKind part, TCharacterCase characterCase);
// The part converted to the encoding, then percent-encoded.
std::string UrlEncodePart(const std::string& name, TPartKind part, TCharacterEncoding encoding);
// The part percent-decoded, then converted from the encoding.
std::string UrlDecodePart(const std::string& name, TPartKind part, TCharacterEncoding encoding);

// What a text source or an edited text that does not give one line per
// selected entry is told.
extern const char* const kLineCountMismatch;
// Raises ENameEditError kLineCountMismatch unless there are as many lines as
// expected.
void CheckLineCount(int lines, int expected);

// A producer of one line per selected entry.
class TSrcLinesSpecs {
public:
    virtual ~TSrcLinesSpecs() = default;
    // Replaces the contents of lines by exactly count lines, the first for the
    // first selected entry. On an error lines is untouched. A count below zero
    // counts as zero.
    virtual void GetLines(int count, TStrings& lines) const = 0;
};

// count copies of Text.
class TCustomSrcLinesSpecs : public TSrcLinesSpecs {
public:
    void GetLines(int count, TStrings& lines) const override;

    std::string Text;
};

// The lines of the clipboard's text: a line ends at CR, LF or CR LF, a break
// at the very end starts no further line, the text ends at its first zero
// byte. Throws ENameEditError unless there are count lines.
class TClipboardSrcLinesSpecs : public TSrcLinesSpecs {
public:
    void GetLines(int count, TStrings& lines) const override;
};

// No part of a file name can be longer, so no number is padded wider.
constexpr std::int32_t kMaxNumberDigits = 255;

// Prefix, number, Suffix for the numbers Initial, Initial + Increment, ...
// The number is padded to Digits characters with Padding in front and never
// cut. Throws ENameEditError if any number would be negative, or if Digits
// exceeds kMaxNumberDigits.
class TNumberSrcLinesSpecs : public TSrcLinesSpecs {
public:
    void GetLines(int count, TStrings& lines) const override;
    // The line of the number, padded (a negative one too, unchecked).
    std::string Line(std::int64_t number) const;

    std::string Prefix;
    std::string Suffix;
    std::int32_t Initial = 1;
    std::int32_t Increment = 1;
    std::int32_t Digits = 1;
    char Padding = '0';
};

// The entries whose names a step edits, in list order.
using TEntries = std::vector<TRenameItem*>;

// A producer of one line per entry from the entry itself.
class TEntrySrcLinesSpecs {
public:
    virtual ~TEntrySrcLinesSpecs() = default;
    // The line of one entry; raises ENameEditError when it has none.
    virtual std::string Line(const TRenameItem& entry) const = 0;
    // Replaces the contents of lines by the lines of the first count entries;
    // on an error lines is untouched. Fewer entries (or none) raise
    // ENameEditError.
    void GetLines(int count, const TEntries* entries, TStrings& lines) const;
};

// The entry's date of the kind, written by the pattern (FormatDate). An
// entry without a date taken (no photo, or none in its EXIF block) gives its
// Modified date; one whose dates are unknown (not read, or gone from the
// disk) has no line.
class TDateSrcLinesSpecs : public TEntrySrcLinesSpecs {
public:
    std::string Line(const TRenameItem& entry) const override;

    TFileDateKind Date = TFileDateKind::Modified;
    std::string Pattern = "yyyy-mm-dd";
};

// The name of the entry's directory. A root (C:\, \\server\share) has none:
// the line is empty, so an insert leaves the name as it is.
class TFolderSrcLinesSpecs : public TEntrySrcLinesSpecs {
public:
    std::string Line(const TRenameItem& entry) const override;
};

// The settings of every kind of source, kept whichever kind is chosen.
struct TSrcLinesSpecsSet {
    TCustomSrcLinesSpecs Custom;
    TClipboardSrcLinesSpecs Clipboard;
    TNumberSrcLinesSpecs Number;
    TDateSrcLinesSpecs FileDate;
    TFolderSrcLinesSpecs FolderName;
};

// The text source of the Insert, Overwrite and Replace dialogs.
struct TTextSrcSpecs {
    TSrcLinesKind Kind = skCustom;
    TSrcLinesSpecsSet Specs;

    // Whether the kind's lines come from the entries themselves.
    bool ReadsEntries() const { return Kind == skFileDate || Kind == skFolderName; }
    // The member of the set that Kind selects, of the kinds that do not read
    // the entries; throws ENameEditError for any other Kind.
    const TSrcLinesSpecs& GetCurrent() const;
    // The member for a kind that reads the entries; throws as GetCurrent.
    const TEntrySrcLinesSpecs& GetCurrentOfEntries() const;
};
