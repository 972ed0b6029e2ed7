// The regular expressions of Replace: compiled once per operation, matched
// over the characters of a name on a thread with a deep stack.
#pragma once

#include "framework/Fw_classes.h"

#include <functional>
#include <memory>
#include <string>

// The error of the name edit operations, the pattern's among them.
class ENameEditError : public Exception {
public:
    using Exception::Exception;
};

// A regular expression of Replace (the ECMAScript grammar), compiled once for
// a whole operation. It matches the characters of a name, not its bytes: the
// name is widened from the ANSI code page to UTF-16, matched there and
// narrowed back, so a double-byte or UTF-8 character is never split. Not
// copyable: it owns the compiled expression.
class TNamePattern {
public:
    // Without match case the expression ignores case (the wide regular
    // expression's case folding of the default locale). Raises
    // ENameEditError "The regular expression is not valid: <why>." (see
    // PatternProblem). An empty pattern is valid and matches nothing, as an
    // empty plain old text does.
    TNamePattern(const std::string& pattern, bool matchCase);
    ~TNamePattern();
    TNamePattern(const TNamePattern&) = delete;
    TNamePattern& operator=(const TNamePattern&) = delete;

    // The text with every non-overlapping match, from the left, replaced by
    // the replacement, in which $1 to $9 stand for the groups (empty when a
    // group took no part; kept as written when the pattern has no such
    // group), $& for the whole match and $$ for one dollar sign; any other $
    // stays as it is. After an empty match the next character is copied
    // before the search goes on. Raises ENameEditError when the text or the
    // replacement holds bytes that are no characters of the code page, when
    // the result holds a character that the code page cannot represent, and
    // when the matcher gives up on the expression.
    std::string Replace(const std::string& text, const std::string& replacement) const;

private:
    struct TCompiled;
    std::unique_ptr<TCompiled> FCompiled;
};

// Runs work on a thread of its own, with a stack large enough for the
// matcher of TNamePattern on long names: it recurses for every character it
// repeats over, and a usual stack ends after a few thousand of them. Returns
// when work has ended and raises what work raised. Work must not touch
// windows: the calling thread waits without handling messages.
void RunWithMatcherStack(const std::function<void()>& work);

// Empty when the pattern compiles; otherwise the message that TNamePattern
// raises, such as "The regular expression is not valid: unmatched
// parenthesis.".
std::string PatternProblem(const std::string& pattern, bool matchCase);
