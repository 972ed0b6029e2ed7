// Character case of texts in the system's ANSI code page.
#pragma once

#include "framework/Fw_sysutils.h"

#include <string>

class ETextError : public Exception {
public:
    using Exception::Exception;
};

// Changes the character case of a text, character by character, with the
// system's case of every letter it knows (through UTF-16): "ÉCOLE" becomes
// "école", a Greek or Cyrillic word changes as well as a Latin one. A
// double-byte character or UTF-8 sequence is taken as a whole, never byte by
// byte. Bytes that are not a valid character of the code page are left as
// they are, and so is a character whose other case the code page cannot hold
// (the micro sign's capital, a Greek capital mu, is not in code page 1252).
// The length in bytes may change under UTF-8, where a letter and its other
// case can differ in length.
class TTextCapitalizer {
public:
    TTextCapitalizer() = default;
    virtual ~TTextCapitalizer() = default;

    // Every capital letter made small.
    virtual std::string ToLowerCase(const std::string& text) const;
    // Every small letter made capital.
    virtual std::string ToUpperCase(const std::string& text) const;
    // Lower case with the first character of every word made capital. A word
    // starts at a character that is not a separator (space, punctuation,
    // control or blank by the system's character types) and follows a
    // separator or the start of the text. The walk ends at the first zero
    // byte; the rest is lower case.
    // Throws ETextError when the system cannot classify the characters.
    virtual std::string ToBookTitle(const std::string& text) const;
};
