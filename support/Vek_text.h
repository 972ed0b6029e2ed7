// Character case of texts in the system's ANSI code page, and the exact
// conversions between a code page and UTF-16.
#pragma once

#include "framework/Fw_sysutils.h"

#include <string>

class ETextError : public Exception {
public:
    using Exception::Exception;
};

// Changes the character case of a text. Every operation returns a new text of
// the same length in bytes. Double-byte characters are never changed: their
// second byte may have the value of an ASCII letter, and changing it would
// turn the character into another one.
class TTextCapitalizer {
public:
    TTextCapitalizer() = default;
    virtual ~TTextCapitalizer() = default;

    // The ASCII capital letters made small; every other character unchanged.
    virtual std::string ToLowerCase(const std::string& text) const;
    // The ASCII small letters made capital; every other character unchanged.
    virtual std::string ToUpperCase(const std::string& text) const;
    // Lower case with the first character of every word made capital. A word
    // starts at a character that is not a separator (space, punctuation,
    // control or blank in the user's locale) and follows a separator or the
    // start of the text. The walk ends at the first zero byte.
    // Throws ETextError when the system cannot classify the characters.
    virtual std::string ToBookTitle(const std::string& text) const;
};

// Conversions that never put one character in the place of another. The
// system's own ones map a character that the target cannot hold to a
// look-alike ("best fit": a full-width solidus to "/", a yen sign to the
// backslash of code page 932) or to "?", and bytes that are not valid in the
// source to a substitute; these fail instead, leaving the output empty.
// codePage 0 (CP_ACP) is the system's ANSI code page.
bool TryAnsiToWide(const std::string& text, std::wstring& wide, unsigned codePage = 0);
bool TryWideToAnsi(const std::wstring& wide, std::string& text, unsigned codePage = 0);
// Whether the text comes back byte for byte from UTF-16, as a name that the
// system stores in UTF-16 must: not so for bytes that are not valid in the
// code page, nor for a second spelling of a character (code page 932 reads
// some characters from two byte pairs and writes one).
bool SurvivesWide(const std::string& text, unsigned codePage = 0);
