#include "split/name_template.h"

#include <string>

namespace pw {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<NameTemplate> NameTemplate::parse(std::string_view text, NameTemplateError* error) {
    auto refuse = [&](NameTemplateError e) -> std::optional<NameTemplate> {
        if (error) *error = e;
        return std::nullopt;
    };
    NameTemplate t;
    auto literal = [&t](char c) {
        if (t.pieces_.empty() || t.pieces_.back().kind != Kind::Literal)
            t.pieces_.push_back({Kind::Literal, {}});
        t.pieces_.back().literal += c;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            return refuse(NameTemplateError::Separator);
        if (c == '}') {
            if (i + 1 < text.size() && text[i + 1] == '}') {
                literal('}');
                ++i;
                continue;
            }
            return refuse(NameTemplateError::Unknown);
        }
        if (c != '{') {
            literal(c);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            literal('{');
            ++i;
            continue;
        }
        const size_t close = text.find('}', i);
        if (close == std::string_view::npos) return refuse(NameTemplateError::Unknown);
        const std::string_view name = text.substr(i + 1, close - i - 1);
        i = close;
        if (name == "name")
            t.pieces_.push_back({Kind::Name, {}});
        else if (name == "ext")
            t.pieces_.push_back({Kind::Ext, {}});
        else if (name == "n")
            t.pieces_.push_back({Kind::Number, {}});
        else if (name.size() == 4 && name.substr(0, 3) == "n:0" && name[3] >= '1' && name[3] <= '9')
            t.pieces_.push_back({Kind::Number, {}, name[3] - '0'});
        else if (name == "count")
            t.pieces_.push_back({Kind::Count, {}}), t.usesCount_ = true;
        else if (name == "first")
            t.pieces_.push_back({Kind::First, {}}), t.usesFirst_ = true;
        else
            return refuse(NameTemplateError::Unknown);
    }
    if (const NameTemplateError order = t.orderError(); order != NameTemplateError::None)
        return refuse(order);
    if (error) *error = NameTemplateError::None;
    return t;
}

NameTemplateError NameTemplate::orderError() const {
    // Everything before the first number is the same for every part of a source, so the number
    // orders them; a phrase after it needs a non-digit between, or the number's end is lost.
    bool number = false;
    bool digitsOnlySinceNumber = false;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const Piece& p = pieces_[i];
        switch (p.kind) {
            case Kind::Number:
                number = true;
                digitsOnlySinceNumber = true;
                break;
            case Kind::First:
                if (!number) return NameTemplateError::PhraseFirst;
                if (digitsOnlySinceNumber) return NameTemplateError::PhraseJoins;
                break;
            case Kind::Literal: {
                // The "." before {ext} goes when the extension is empty: it separates nothing.
                std::string_view lit = p.literal;
                if (i + 1 < pieces_.size() && pieces_[i + 1].kind == Kind::Ext && lit.back() == '.')
                    lit.remove_suffix(1);
                for (char c : lit)
                    if (!isDigit(c)) digitsOnlySinceNumber = false;
                break;
            }
            case Kind::Count:
            case Kind::Name:
            case Kind::Ext:
                // Fixed for the source, but may be empty or digits ({count} always is): only a
                // literal separates.
                break;
        }
    }
    return number ? NameTemplateError::None : NameTemplateError::NoNumber;
}

Text NameTemplate::expand(std::string_view stem, std::string_view extension, int64_t n,
                          int64_t count, std::string_view first) const {
    Text out;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const Piece& p = pieces_[i];
        switch (p.kind) {
            case Kind::Literal: {
                std::string_view lit = p.literal;
                // "name_1.{ext}" without an extension is "name_1", not "name_1.".
                if (extension.empty() && i + 1 < pieces_.size() &&
                    pieces_[i + 1].kind == Kind::Ext && !lit.empty() && lit.back() == '.')
                    lit.remove_suffix(1);
                out += lit;
                break;
            }
            case Kind::Name:
                out += stem;
                break;
            case Kind::Ext:
                out += extension;
                break;
            case Kind::Number: {
                const std::string digits = std::to_string(n);
                if (int(digits.size()) < p.width) out.append(size_t(p.width) - digits.size(), '0');
                out += digits;
                break;
            }
            case Kind::Count:
                out += std::to_string(count);
                break;
            case Kind::First:
                out += first;
                break;
        }
    }
    return out;
}

}  // namespace pw
