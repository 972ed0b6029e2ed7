#include "support/Vek_net.h"

namespace {

struct TUrlTables {
    bool Unencoded[256];
    signed char HexValue[256];
    TUrlTables() {
        for (int b = 0; b < 256; ++b) {
            Unencoded[b] = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
            HexValue[b] = static_cast<signed char>(HexDigitValue(static_cast<char>(b)));
        }
        for (const char* mark = "!$'()*+,-._"; *mark; ++mark)
            Unencoded[static_cast<unsigned char>(*mark)] = true;
    }
};

const TUrlTables& Tables() {
    static const TUrlTables tables;
    return tables;
}

} // namespace

std::string TUrlCoder::UrlEncode(const std::string& text) const {
    const TUrlTables& tables = Tables();
    std::string result;
    result.reserve(text.size() * 3);
    for (const char c : text) {
        if (c == '\0')
            break;
        const auto b = static_cast<unsigned char>(c);
        if (tables.Unencoded[b]) {
            result += c;
        } else {
            AppendPercentEscape(result, b);
        }
    }
    return result;
}

std::string TUrlCoder::UrlDecode(const std::string& text) const {
    const TUrlTables& tables = Tables();
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        if (text[i] != '%') {
            result += text[i];
            continue;
        }
        // The zero byte that ends the input is no digit: an escape cut by it fails too.
        const int high = i + 1 < text.size() ? tables.HexValue[static_cast<unsigned char>(text[i + 1])] : -1;
        const int low = i + 2 < text.size() ? tables.HexValue[static_cast<unsigned char>(text[i + 2])] : -1;
        if (high < 0 || low < 0)
            throw ENetError("The program cannot URL decode the string.");
        result += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return result;
}
