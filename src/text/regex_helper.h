#pragma once
// A compiled pattern and its options, replacing matches in code-page text.

#include <memory>

#include "text/codepage.h"

namespace pw {

class CompiledRegex;

class RegexHelper {
  public:
    // Escapes the pattern characters of a wildcard text; "*" and "?" become ".*" and ".?", and
    // "|" stays an alternation.
    static Text wildcardToPattern(std::string_view text);

    // Replaces any earlier pattern. A pattern that does not compile leaves the helper empty.
    void create(const Text& pattern, bool ignoreCase = true, bool multiLine = true,
                bool global = true);

    // Matches replaced by `replacement` taken literally: every match when global, else the first.
    // The empty text when no pattern is compiled.
    Text replace(const Text& subject, const Text& replacement) const;

    bool compiled() const { return regex_ != nullptr; }

  private:
    // Compiled code is never changed after compiling, so copies may share it.
    std::shared_ptr<const CompiledRegex> regex_;
    bool global_ = true;
};

}  // namespace pw
