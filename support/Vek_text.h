// Character case of texts in the system's ANSI code page.
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
