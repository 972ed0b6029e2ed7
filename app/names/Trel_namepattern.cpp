#include "app/names/Trel_namepattern.h"

#include "framework/Fw_handles.h"
#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <process.h>

#include <bitset>
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

// The UTF-16 units of the character at i: a surrogate pair is one.
std::size_t WideCharSize(const std::wstring& text, std::size_t i) {
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    return pair ? 2 : 1;
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
};

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
        compiled->Regex.imbue(SystemCaseLocale());
        // The compiler recurses for every nested group.
        RunWithMatcherStack([&] { compiled->Regex.assign(wide, flags); });
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
            if (!std::regex_search(TCountingIterator(begin + from, &reads), end, match, FCompiled->Regex, flags))
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
