#include "app/names/Trel_namepattern.h"

#include "framework/Fw_handles.h"
#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <process.h>

#include <bitset>
#include <cwchar>
#include <cwctype>
#include <cstdint>
#include <exception>
#include <iterator>
#include <locale>
#include <regex>
#include <utility>
#include <vector>

namespace {

// What the regular expression library reports, in a few words for the
// message of an invalid pattern.
const char* RegexProblem(std::regex_constants::error_type code) {
    using namespace std::regex_constants;
    switch (code) {
    case error_collate:
        return "invalid collating element";
    case error_ctype:
        return "invalid character class";
    case error_escape:
        return "invalid escape";
    case error_backref:
        return "invalid back reference";
    case error_brack:
        return "unmatched bracket";
    case error_paren:
        return "unmatched parenthesis";
    case error_brace:
        return "unmatched brace";
    case error_badbrace:
        return "invalid repeat count";
    case error_range:
        return "invalid range";
    case error_badrepeat:
        return "nothing to repeat";
    case error_space:
    case error_complexity:
    case error_stack:
        return "too complex";
    default:
        return "not understood";
    }
}

// Whether the parentheses of an ECMAScript pattern pair up, escapes and
// bracket expressions skipped.
bool ParenthesesPair(const std::wstring& pattern) {
    int depth = 0;
    bool inBrackets = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\\')
            ++i;
        else if (inBrackets)
            inBrackets = c != L']';
        else if (c == L'[')
            inBrackets = true;
        else if (c == L'(')
            ++depth;
        else if (c == L')' && --depth < 0)
            return false;
    }
    return depth == 0;
}

// The library reports a quantifier without anything before it (as in "*a")
// as it reports a parenthesis without its pair.
const char* RegexProblem(const std::regex_error& error, const std::wstring& pattern) {
    if (error.code() == std::regex_constants::error_paren && ParenthesesPair(pattern))
        return RegexProblem(std::regex_constants::error_badrepeat);
    return RegexProblem(error.code());
}

const char* const kBytesNotCharacters = "The name holds bytes that are no characters of the system's code page.";

std::wstring Widened(const std::string& text) {
    std::wstring wide;
    if (!TryAnsiToWide(text, wide))
        throw ENameEditError(kBytesNotCharacters);
    return wide;
}

// Whether a surrogate pair, one character beyond the 16-bit range, starts at i.
bool StartsPair(const std::wstring& text, std::size_t i) {
    return i + 1 < text.size() && IS_SURROGATE_PAIR(text[i], text[i + 1]);
}

// The UTF-16 units of the character at i: a surrogate pair is one.
std::size_t WideCharSize(const std::wstring& text, std::size_t i) {
    return StartsPair(text, i) ? 2 : 1;
}

// ---------------------------------------------------------------- characters beyond 16 bits
//
// A character beyond the 16-bit range is two UTF-16 units, a surrogate pair,
// and the wide matcher steps through units. The pattern is therefore
// rewritten for names that hold such characters: "." and every class that
// can match one take its pair as one character, a lone surrogate matches
// nothing (no name holds one), and a character beyond the range written in
// the pattern is one atom, so a quantifier repeats the whole of it. On a
// text without pairs the rewritten pattern matches exactly as the original.

// c is one of the characters of the set (never the zero that ends it).
bool IsOneOf(wchar_t c, const wchar_t* set) {
    return c != L'\0' && std::wcschr(set, c) != nullptr;
}

bool HoldsPair(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (StartsPair(text, i))
            return true;
    return false;
}

// Any character beyond the 16-bit range, and the range of every surrogate.
const wchar_t* const kAnyPair = L"[\xD800-\xDBFF][\xDC00-\xDFFF]";
const wchar_t* const kSurrogates = L"\xD800-\xDFFF";
constexpr char32_t kFirstBeyond = 0x10000;

std::wstring UnitsOf(char32_t c) {
    if (c < kFirstBeyond)
        return std::wstring(1, static_cast<wchar_t>(c));
    const char32_t v = c - kFirstBeyond;
    return {static_cast<wchar_t>(0xD800 + (v >> 10)), static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
}

// The alternatives that match the characters lo to hi, all beyond the
// 16-bit range, as surrogate pairs.
std::wstring BeyondRange(char32_t lo, char32_t hi) {
    const std::wstring first = UnitsOf(lo);
    const std::wstring last = UnitsOf(hi);
    const auto range = [](wchar_t from, wchar_t to) { return L"[" + std::wstring{from, L'-', to} + L"]"; };
    if (first[0] == last[0])
        return first.substr(0, 1) + range(first[1], last[1]);
    std::wstring result = first.substr(0, 1) + range(first[1], L'\xDFFF');
    if (last[0] - first[0] > 1)
        result += L"|" + range(static_cast<wchar_t>(first[0] + 1), static_cast<wchar_t>(last[0] - 1)) +
                  L"[\xDC00-\xDFFF]";
    return result + L"|" + last.substr(0, 1) + range(L'\xDC00', last[1]);
}

// One member of a bracket expression as written, with its character where it
// is one (a class such as \d or [:alpha:] is none).
struct TClassMember {
    std::wstring Text;
    char32_t Char = 0;
    bool IsChar = false;
};

// The character of an escape inside a bracket expression, where it names one.
bool EscapedChar(const std::wstring& text, char32_t& c) {
    static const std::wstring kControls = L"n\nr\rt\tf\fv\vb\b0";
    const wchar_t e = text[1];
    const std::size_t control = kControls.find(e);
    if (control != std::wstring::npos && control % 2 == 0) {
        c = control + 1 < kControls.size() ? kControls[control + 1] : 0;
        return true;
    }
    if ((e == L'u' && text.size() == 6) || (e == L'x' && text.size() == 4)) {
        c = static_cast<char32_t>(std::wcstoul(text.c_str() + 2, nullptr, 16));
        return true;
    }
    c = e;
    return !std::iswalnum(e);
}

// The member at i of a bracket expression; i moves past it.
TClassMember ReadClassMember(const std::wstring& pattern, std::size_t& i) {
    TClassMember member;
    const std::size_t start = i;
    if (pattern[i] == L'\\' && i + 1 < pattern.size()) {
        std::size_t digits = pattern[i + 1] == L'u' ? 4 : pattern[i + 1] == L'x' ? 2 : 0;
        i += 2;
        while (digits > 0 && i < pattern.size() && std::iswxdigit(pattern[i]))
            ++i, --digits;
        member.Text = pattern.substr(start, i - start);
        member.IsChar = EscapedChar(member.Text, member.Char);
        return member;
    }
    if (pattern[i] == L'[' && i + 1 < pattern.size() && IsOneOf(pattern[i + 1], L":.=")) {
        const std::size_t close = pattern.find(std::wstring{pattern[i + 1], L']'}, i + 2);
        i = close == std::wstring::npos ? pattern.size() : close + 2;
        member.Text = pattern.substr(start, i - start);
        return member;
    }
    const std::size_t size = StartsPair(pattern, i) ? 2 : 1;
    member.Text = pattern.substr(i, size);
    member.Char = size == 2 ? kFirstBeyond + ((pattern[i] - 0xD800) << 10) + (pattern[i + 1] - 0xDC00)
                            : static_cast<char32_t>(pattern[i]);
    member.IsChar = true;
    i += size;
    return member;
}

// A bracket expression split as the rewriting needs it.
struct TBracket {
    bool Negated = false;
    // The members within the 16-bit range, as written.
    std::wstring Narrow;
    // Alternatives matching the members beyond it.
    std::wstring Beyond;
    // A class that matches what it does not name (\D, \W, \S): every
    // character beyond the range.
    bool MatchesBeyond = false;
    // A range that takes in the surrogates.
    bool SpansSurrogates = false;
};

// Files a single member or a range lo-hi (hi null for a single member).
void AddToBracket(TBracket& bracket, const TClassMember& lo, const TClassMember* hi) {
    const bool range = hi && lo.IsChar && hi->IsChar && lo.Char <= hi->Char;
    const char32_t last = range ? hi->Char : lo.Char;
    if (lo.IsChar && last >= kFirstBeyond && (!hi || range)) {
        if (lo.Char < kFirstBeyond) {
            bracket.Narrow += lo.Text + L"-\xFFFF";
            bracket.SpansSurrogates = bracket.SpansSurrogates || lo.Char <= 0xDFFF;
        }
        bracket.Beyond += (bracket.Beyond.empty() ? L"" : L"|") + BeyondRange(std::max(lo.Char, kFirstBeyond), last);
        return;
    }
    bracket.Narrow += lo.Text + (hi ? L"-" + hi->Text : L"");
    if (lo.Text.size() == 2 && lo.Text[0] == L'\\' && IsOneOf(lo.Text[1], L"DWS"))
        bracket.MatchesBeyond = true;
    if (range && lo.Char <= 0xDFFF && last >= 0xD800)
        bracket.SpansSurrogates = true;
}

// Reads the bracket expression that opens at i; false when it never closes.
bool ReadBracket(const std::wstring& pattern, std::size_t& i, TBracket& bracket) {
    std::size_t j = i + 1;
    bracket.Negated = j < pattern.size() && pattern[j] == L'^';
    if (bracket.Negated)
        ++j;
    while (j < pattern.size() && pattern[j] != L']') {
        const TClassMember lo = ReadClassMember(pattern, j);
        if (j + 1 < pattern.size() && pattern[j] == L'-' && pattern[j + 1] != L']') {
            ++j;
            const TClassMember hi = ReadClassMember(pattern, j);
            AddToBracket(bracket, lo, &hi);
        } else {
            AddToBracket(bracket, lo, nullptr);
        }
    }
    if (j >= pattern.size())
        return false;
    i = j + 1;
    return true;
}

std::wstring RewrittenBracket(const TBracket& b) {
    if (b.Negated) {
        // Everything beyond the range is a non-member of a class such as \W.
        if (b.MatchesBeyond)
            return L"[^" + b.Narrow + L"]";
        const std::wstring pair = b.Beyond.empty() ? kAnyPair : L"(?!" + b.Beyond + L")" + kAnyPair;
        return L"(?:" + pair + L"|[^" + b.Narrow + kSurrogates + L"])";
    }
    std::wstring result = L"(?:" + b.Beyond;
    if (b.MatchesBeyond)
        result += (b.Beyond.empty() ? L"" : L"|") + std::wstring(kAnyPair);
    if (!b.Narrow.empty()) {
        if (result.size() > 3)
            result += L"|";
        // A class that takes in the surrogates must not take half a pair.
        if (b.SpansSurrogates || b.MatchesBeyond)
            result += L"(?![" + std::wstring(kSurrogates) + L"])";
        result += L"[" + b.Narrow + L"]";
    }
    return result + L")";
}

// Copies the bracket expression at i as it is, or rewritten where it can match
// a character beyond the 16-bit range or half of one.
void AppendBracket(const std::wstring& pattern, std::size_t& i, std::wstring& result) {
    const std::size_t start = i;
    TBracket bracket;
    if (!ReadBracket(pattern, i, bracket)) {
        // Left for the compiler to refuse.
        result.append(pattern, start, std::wstring::npos);
        i = pattern.size();
        return;
    }
    const bool plain = !bracket.Negated && bracket.Beyond.empty() && !bracket.MatchesBeyond &&
                       !bracket.SpansSurrogates;
    if (plain || (bracket.Negated && bracket.MatchesBeyond && bracket.Beyond.empty()))
        result.append(pattern, start, i - start);
    else
        result += RewrittenBracket(bracket);
}

// The pattern with every atom taking a whole character (see above).
std::wstring CodePointPattern(const std::wstring& pattern) {
    std::wstring result;
    for (std::size_t i = 0; i < pattern.size();) {
        const wchar_t c = pattern[i];
        if (c == L'\\' && i + 1 < pattern.size()) {
            const wchar_t e = pattern[i + 1];
            if (IsOneOf(e, L"DWS"))
                result += L"(?:" + std::wstring(kAnyPair) + L"|[^\\" + static_cast<wchar_t>(std::towlower(e)) +
                          kSurrogates + L"])";
            else
                result.append(pattern, i, 2);
            i += 2;
        } else if (c == L'[') {
            AppendBracket(pattern, i, result);
        } else if (c == L'.') {
            // What "." takes in a name: anything but a line break.
            result += L"(?:" + std::wstring(kAnyPair) + L"|[^\n\r" + kSurrogates + L"])";
            ++i;
        } else if (StartsPair(pattern, i)) {
            result += L"(?:" + pattern.substr(i, 2) + L")";
            i += 2;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

// The characters the matcher may read for one name before it gives up
// (under a second under Wine). It backtracks without limit of its own, so a
// pattern such as (a+)+b takes twice as long for every further character of
// a name, years for fifty. Patterns that match in polynomial time stay below
// this on names of file-name length, ^(.*)_(.*)_(.*)$ against 255 characters
// without an underscore too.
constexpr std::uint64_t kMatchReadsPerName = std::uint64_t{1} << 23;

// A position in a name that counts every read of the matcher against the
// budget, and gives up past it as a library that limits itself does.
class TCountingIterator {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    TCountingIterator() = default;
    TCountingIterator(const wchar_t* position, std::uint64_t* reads) : FPosition(position), FReads(reads) {}

    reference operator*() const {
        if (++*FReads > kMatchReadsPerName)
            throw std::regex_error(std::regex_constants::error_complexity);
        return *FPosition;
    }
    TCountingIterator& operator++() {
        ++FPosition;
        return *this;
    }
    TCountingIterator operator++(int) {
        TCountingIterator before = *this;
        ++FPosition;
        return before;
    }
    TCountingIterator& operator--() {
        --FPosition;
        return *this;
    }
    TCountingIterator operator--(int) {
        TCountingIterator before = *this;
        --FPosition;
        return before;
    }
    bool operator==(const TCountingIterator& other) const { return FPosition == other.FPosition; }

    const wchar_t* Position() const { return FPosition; }

private:
    const wchar_t* FPosition = nullptr;
    std::uint64_t* FReads = nullptr;
};

using TNameMatch = std::match_results<TCountingIterator>;

// The replacement of one match: $1 to $9, $& and $$ expanded, anything else
// as written.
void AppendExpanded(const std::wstring& replacement, const TNameMatch& match, std::wstring& result) {
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const wchar_t c = replacement[i];
        if (c == L'$' && i + 1 < replacement.size()) {
            const wchar_t next = replacement[i + 1];
            if (next == L'$') {
                result += L'$';
                ++i;
                continue;
            }
            if (next == L'&') {
                result.append(match[0].first.Position(), match[0].second.Position());
                ++i;
                continue;
            }
            const std::size_t group = static_cast<std::size_t>(next - L'0');
            if (next >= L'1' && next <= L'9' && group < match.size()) {
                if (match[group].matched)
                    result.append(match[group].first.Position(), match[group].second.Position());
                ++i;
                continue;
            }
        }
        result += c;
    }
}

// Wide characters folded by the system's case mapping, as plain Replace
// compares them without case; the C library's default locale folds ASCII
// letters only. The matcher folds the ends of ranges such as [a-z] with it.
class TSystemCaseCtype : public std::ctype<wchar_t> {
protected:
    char_type do_tolower(char_type c) const override {
        CharLowerBuffW(&c, 1);
        return c;
    }
    const char_type* do_tolower(char_type* low, const char_type* high) const override {
        CharLowerBuffW(low, static_cast<DWORD>(high - low));
        return high;
    }
    char_type do_toupper(char_type c) const override {
        CharUpperBuffW(&c, 1);
        return c;
    }
    const char_type* do_toupper(char_type* low, const char_type* high) const override {
        CharUpperBuffW(low, static_cast<DWORD>(high - low));
        return high;
    }
};

// The default locale with the system's case mapping; the locale owns the facet.
const std::locale& SystemCaseLocale() {
    static const std::locale locale(std::locale(), new TSystemCaseCtype);
    return locale;
}

// The standard traits of wide regular expressions, made cheap where the
// matcher asks for every character it tries against a bracket or a class:
// the standard ones look the locale's facets up anew on each call, and the
// primary sort key (which only equivalence classes such as [[=a=]] use) goes
// through the C library's collation with allocations. Matching took several
// times as long as everything else about a name.
class TNameRegexTraits : public std::regex_traits<wchar_t> {
public:
    TNameRegexTraits() {
        for (unsigned c = 0; c < kKnownChars; ++c)
            FLower[c] = SystemLower(static_cast<char_type>(c));
    }

    locale_type imbue(locale_type locale) {
        FTables.clear();
        return std::regex_traits<wchar_t>::imbue(locale);
    }

    // The system's case mapping, whatever the locale (see TSystemCaseCtype).
    char_type translate_nocase(char_type c) const {
        return static_cast<unsigned>(c) < kKnownChars ? FLower[static_cast<unsigned>(c)] : SystemLower(c);
    }

    // Characters are equivalent ([[=a=]]) when their lower cases are the
    // same, as the default locale's collation has them.
    template <class TIterator>
    string_type transform_primary(TIterator first, TIterator last) const {
        string_type key(first, last);
        for (char_type& c : key)
            c = translate_nocase(c);
        return key;
    }

    // Characters below kKnownChars answer from a table made on the first
    // question about the class; the rest ask the locale.
    bool isctype(char_type c, char_class_type type) const {
        if (static_cast<unsigned>(c) >= kKnownChars)
            return std::regex_traits<wchar_t>::isctype(c, type);
        return TableOf(type)[static_cast<unsigned>(c)];
    }

private:
    static constexpr unsigned kKnownChars = 256;
    using TTable = std::bitset<kKnownChars>;

    static char_type SystemLower(char_type c) {
        CharLowerBuffW(&c, 1);
        return c;
    }

    const TTable& TableOf(char_class_type type) const {
        for (const auto& known : FTables)
            if (known.first == type)
                return known.second;
        TTable table;
        for (unsigned c = 0; c < kKnownChars; ++c)
            table[c] = std::regex_traits<wchar_t>::isctype(static_cast<char_type>(c), type);
        FTables.emplace_back(type, table);
        return FTables.back().second;
    }

    char_type FLower[kKnownChars];
    // A pattern names few classes: a short list is searched fastest.
    mutable std::vector<std::pair<char_class_type, TTable>> FTables;
};

using TNameRegex = std::basic_regex<wchar_t, TNameRegexTraits>;

// Reserved, not committed: the stack grows into it only as deep as a match
// goes. Nested groups take about a kilobyte a character, so this holds names
// far longer than any file system allows.
constexpr unsigned kMatcherStackBytes = 256u << 20;

struct TMatcherWork {
    const std::function<void()>* Work;
    std::exception_ptr Error;
};

unsigned __stdcall MatcherThreadProc(void* data) {
    TMatcherWork& work = *static_cast<TMatcherWork*>(data);
    // Handed to the waiting thread, which raises it again.
    try {
        (*work.Work)();
    } catch (...) {
        work.Error = std::current_exception();
    }
    return 0;
}

} // namespace

struct TNamePattern::TCompiled {
    TNameRegex Regex;
    // For the names that hold characters beyond the 16-bit range; null when
    // the rewriting changes nothing.
    std::unique_ptr<TNameRegex> CodePoints;
};

namespace {

void Compile(TNameRegex& regex, const std::wstring& pattern, std::regex_constants::syntax_option_type flags) {
    regex.imbue(SystemCaseLocale());
    // The compiler recurses for every nested group.
    RunWithMatcherStack([&] { regex.assign(pattern, flags); });
}

} // namespace

TNamePattern::TNamePattern(const std::string& pattern, bool matchCase) {
    if (pattern.empty())
        return;
    std::wstring wide;
    if (!TryAnsiToWide(pattern, wide))
        throw ENameEditError("The regular expression holds bytes that are no characters of the system's code page.");
    auto flags = std::regex_constants::ECMAScript;
    if (!matchCase)
        flags |= std::regex_constants::icase;
    try {
        auto compiled = std::make_unique<TCompiled>();
        const std::wstring codePoints = CodePointPattern(wide);
        // A pattern that holds a character beyond the 16-bit range may not
        // even compile as it is ([😀-😂] is a range between two halves).
        const bool holdsPair = HoldsPair(wide);
        Compile(compiled->Regex, holdsPair ? codePoints : wide, flags);
        if (!holdsPair && codePoints != wide) {
            compiled->CodePoints = std::make_unique<TNameRegex>();
            Compile(*compiled->CodePoints, codePoints, flags);
        }
        FCompiled = std::move(compiled);
    } catch (const std::regex_error& error) {
        throw ENameEditError(std::string("The regular expression is not valid: ") + RegexProblem(error, wide) +
                             ".");
    }
}

TNamePattern::~TNamePattern() = default;

std::string TNamePattern::Replace(const std::string& text, const std::string& replacement) const {
    if (!FCompiled)
        return text;
    const std::wstring wide = Widened(text);
    const std::wstring with = Widened(replacement);
    const TNameRegex& regex =
        FCompiled->CodePoints && HoldsPair(wide) ? *FCompiled->CodePoints : FCompiled->Regex;
    std::uint64_t reads = 0;
    const wchar_t* const begin = wide.data();
    const TCountingIterator end(begin + wide.size(), &reads);
    std::wstring result;
    std::size_t copied = 0;
    bool matched = false;
    TNameMatch match;
    try {
        for (std::size_t from = 0; from <= wide.size();) {
            // Anchors and word boundaries see the character before the search.
            const auto flags = from > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
            if (!std::regex_search(TCountingIterator(begin + from, &reads), end, match, regex, flags))
                break;
            const std::size_t start = static_cast<std::size_t>(match[0].first.Position() - begin);
            const std::size_t stop = static_cast<std::size_t>(match[0].second.Position() - begin);
            result.append(wide, copied, start - copied);
            AppendExpanded(with, match, result);
            matched = true;
            copied = from = stop;
            if (start == stop) {
                // An empty match: the next character goes over as it is, so
                // the search moves on.
                if (stop == wide.size())
                    break;
                const std::size_t size = WideCharSize(wide, stop);
                result.append(wide, stop, size);
                copied = from = stop + size;
            }
        }
    } catch (const std::regex_error&) {
        throw ENameEditError("The regular expression is too complex to match.");
    }
    if (!matched)
        return text;
    result.append(wide, copied, std::wstring::npos);
    std::string narrow;
    if (!TryWideToAnsi(result, narrow))
        throw ENameEditError("The new name would hold a character that the system's code page cannot represent.");
    return narrow;
}

void RunWithMatcherStack(const std::function<void()>& work) {
    TMatcherWork matcherWork{&work, nullptr};
    const std::uintptr_t started = _beginthreadex(nullptr, kMatcherStackBytes, MatcherThreadProc, &matcherWork,
                                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (started == 0)
        throw ENameEditError("The program could not start matching the names.");
    const TKernelHandle thread(reinterpret_cast<HANDLE>(started));
    WaitForSingleObject(thread.Get(), INFINITE);
    if (matcherWork.Error)
        std::rethrow_exception(matcherWork.Error);
}

std::string PatternProblem(const std::string& pattern, bool matchCase) {
    try {
        const TNamePattern compiled(pattern, matchCase);
    } catch (const ENameEditError& error) {
        return error.Message();
    }
    return std::string();
}
