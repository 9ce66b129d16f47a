#pragma once
// A compiled pattern and its options, replacing matches in code-page text.

#include <memory>

#include "platform/regex.h"
#include "text/codepage.h"

namespace pw {

enum class RegexMatches { First, All };

class RegexHelper {
  public:
    // Escapes the pattern characters of a wildcard text; "*" and "?" become ".*" and ".?", and
    // "|" stays an alternation.
    static Text wildcardToPattern(std::string_view text);

    // Replaces any earlier pattern. A pattern that does not compile leaves the helper empty.
    void create(const Text& pattern, RegexCase letterCase = RegexCase::Ignored,
                RegexLines lines = RegexLines::Multi, RegexMatches matches = RegexMatches::All);

    // Matches replaced by `replacement` taken literally: every match, or only the first.
    // The empty text when no pattern is compiled.
    Text replace(const Text& subject, const Text& replacement) const;

    bool compiled() const { return regex_ != nullptr; }

  private:
    // Compiled code is never changed after compiling, so copies may share it.
    std::shared_ptr<const CompiledRegex> regex_;
    bool global_ = true;
};

}  // namespace pw
