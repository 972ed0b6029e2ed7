// The URL coder: the unencoded set, capital hexadecimal, the decoder's escape
// rules and round trips of arbitrary bytes.
#include "support/Vek_net.h"
#include "tests/common/TestSupport.h"

#include <random>

namespace {

std::string Bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}

} // namespace

TEST(UrlCoder, EncodesEverythingButLettersDigitsAndTheMarks) {
    const struct {
        std::string text, encoded;
    } cases[] = {
        {"", ""},
        {"my file.txt", "my%20file.txt"},
        {"Zoo 9", "Zoo%209"},
        {"pizza 9", "pizza%209"},
        {"\xE9", "%E9"},
        {"!$'()*+,-._", "!$'()*+,-._"},
        {"~/%\"#&:;<=>?@[\\]^`{|}", "%7E%2F%25%22%23%26%3A%3B%3C%3D%3E%3F%40%5B%5C%5D%5E%60%7B%7C%7D"},
        {"\x01\x1F\x7F\x80\xFF", "%01%1F%7F%80%FF"},
        // the input ends at its first zero byte
        {Bytes("a\0b", 3), "a"},
        {Bytes("\0", 1), ""},
    };
    const TUrlCoder coder;
    for (const auto& c : cases)
        EXPECT_EQ(coder.UrlEncode(c.text), c.encoded) << ::testing::PrintToString(c.text);
}

TEST(UrlCoder, CopiesExactlyTheSeventyThreeUnencodedBytes) {
    const std::string expected = "!$'()*+,-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
    ASSERT_EQ(expected.size(), 73u);
    std::string unencoded;
    const TUrlCoder coder;
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string encoded = coder.UrlEncode(byte);
        if (encoded == byte)
            unencoded += byte;
        else
            EXPECT_EQ(encoded.size(), 3u) << b;
    }
    EXPECT_EQ(unencoded, expected);
}

TEST(UrlCoder, DecodesEscapesInEitherCaseAndCopiesTheRest) {
    const struct {
        std::string text, decoded;
    } cases[] = {
        {"", ""},
        {"%5a%5A+", "ZZ+"},
        {"my%20file.txt", "my file.txt"},
        {"%e9%E9%eA", "\xE9\xE9\xEA"},
        // names encoded before 9, Z and z were copied as they are still decode alike
        {"pi%7A%7Aa%20%39", "pizza 9"},
        {"%00", Bytes("\0", 1)},
        {"a%00b", Bytes("a\0b", 3)},
        {"100%25", "100%"},
        {"~ /", "~ /"},
        // the input ends at its first zero byte, even in the middle of an escape
        {Bytes("ab\0%", 4), "ab"},
    };
    const TUrlCoder coder;
    for (const auto& c : cases)
        EXPECT_EQ(coder.UrlDecode(c.text), c.decoded) << c.text;
}

TEST(UrlCoder, RejectsEveryMalformedEscape) {
    const std::string cases[] = {
        "100%",
        "%4",
        "%G1",
        "%1G",
        "%",
        "%%41",
        "%-1",
        "% 1",
        "%x1",
        "%+1",
        "a%4",
        Bytes("%4\0"
              "1",
              4),
        Bytes("%\0"
              "41",
              4),
        "%\xC1"
        "1",
    };
    const TUrlCoder coder;
    for (const auto& text : cases) {
        try {
            coder.UrlDecode(text);
            ADD_FAILURE() << "no error for " << ::testing::PrintToString(text);
        } catch (const ENetError& e) {
            EXPECT_EQ(e.Message(), "The program cannot URL decode the string.");
        }
    }
}

TEST(UrlCoder, DecodingTheEncodingGivesTheBytesBack) {
    std::mt19937 random(20240503);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> byte(1, 255);
    const TUrlCoder coder;
    for (int round = 0; round < 5000; ++round) {
        std::string text(static_cast<std::size_t>(length(random)), ' ');
        for (char& c : text)
            c = static_cast<char>(byte(random));
        const std::string encoded = coder.UrlEncode(text);
        ASSERT_EQ(encoded.find_first_not_of(
                      "!$'()*+,-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz%"),
                  std::string::npos)
            << encoded;
        ASSERT_EQ(coder.UrlDecode(encoded), text) << ::testing::PrintToString(text);
    }
}
