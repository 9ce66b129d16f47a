#pragma once
// Part names after a user's template: "{name}_{n}.{ext}", "{name}.{ext}.{n:03}", … Checked
// before anything is written, so that no two parts of one source can get the same name and the
// parts keep their order when a folder is sorted naturally (numbers by value).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/text_bytes.h"

namespace pw {

enum class NameTemplateError {
    None,
    Unknown,      // a placeholder other than name, ext, n, n:0D, count, first; or a lone brace
    NoNumber,     // without {n} two parts would have the same name
    PhraseFirst,  // {first} before {n}: the text, not the number, would order the parts
    PhraseJoins,  // {first} right after {n} (digits only between): "1" + "1x" meets "11" + "x"
    Separator,    // a path separator, NUL or control character: a name leads out of its folder
};

class NameTemplate {
  public:
    // The template, checked; the error when it is refused.
    static std::optional<NameTemplate> parse(std::string_view text,
                                             NameTemplateError* error = nullptr);

    bool usesFirst() const { return usesFirst_; }
    bool usesCount() const { return usesCount_; }
    // The file name of part `n` of `count`. A "." right before {ext} goes with it when the
    // extension is empty. `first` is already a clean name.
    Text expand(std::string_view stem, std::string_view extension, int64_t n, int64_t count,
                std::string_view first) const;

  private:
    enum class Kind { Literal, Name, Ext, Number, Count, First };
    struct Piece {
        Kind kind;
        Text literal;  // Literal: the text; Number: the zero-padded width as a digit count
        int width = 0;
    };
    // What keeps the parts' names in part order, or None.
    NameTemplateError orderError() const;

    std::vector<Piece> pieces_;
    bool usesFirst_ = false, usesCount_ = false;
};

// The template today's names follow.
inline constexpr std::string_view kDefaultNameTemplate = "{name}_{n}.{ext}";

}  // namespace pw
