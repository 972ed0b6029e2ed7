// Percent-encoding of byte strings.
#pragma once

#include "framework/Fw_sysutils.h"

#include <string>

class ENetError : public Exception {
public:
    using Exception::Exception;
};

// Percent-encodes and -decodes byte strings; the bytes' code page plays no part.
class TUrlCoder {
public:
    TUrlCoder() = default;
    virtual ~TUrlCoder() = default;

    // Copies the letters, the digits and the marks ! $ ' ( ) * + , - . _ and
    // writes every other byte as % and two capital hexadecimal digits. The
    // input ends at its first zero byte.
    virtual std::string UrlEncode(const std::string& text) const;
    // Turns every % and two hexadecimal digits (either case) into its byte and
    // copies every other byte, + included. The input ends at its first zero
    // byte; %00 gives a zero byte. Throws ENetError on a % that is not
    // followed by two hexadecimal digits.
    virtual std::string UrlDecode(const std::string& text) const;
};
