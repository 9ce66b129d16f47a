#pragma once
// Regular expressions over PCRE2 in UTF mode. Patterns and subjects are UTF-8.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pw {

enum class RegexCase { Sensitive, Ignored };
// Multi: CR and LF (and CR LF) end lines for ^ and $.
enum class RegexLines { Single, Multi };

// Why a pattern does not compile: PCRE2's reason, and how many characters of the pattern stand
// before the place it found fault with.
struct RegexError {
    std::string reason;
    size_t offset = 0;
};

class CompiledRegex {
  public:
    // Nothing when the pattern does not compile; `error`, when given, says why.
    static std::unique_ptr<CompiledRegex> compile(std::string_view pattern, RegexCase letterCase,
                                                  RegexLines lines, RegexError* error = nullptr);
    ~CompiledRegex();
    CompiledRegex(const CompiledRegex&) = delete;
    CompiledRegex& operator=(const CompiledRegex&) = delete;

    // Replaces the first match, or every match when `global`, by `replacement` taken literally.
    // Nothing when matching fails (for example on a subject that is not UTF-8).
    std::optional<std::string> replace(std::string_view subject, std::string_view replacement,
                                       bool global) const;
    // Whether the pattern matches somewhere in the subject; false also when matching fails.
    bool search(std::string_view subject) const;

  private:
    struct Code;
    struct CodeDeleter {
        void operator()(Code* code) const;
    };
    explicit CompiledRegex(Code* code) : code_(code) {}
    std::unique_ptr<Code, CodeDeleter> code_;
};

}  // namespace pw
