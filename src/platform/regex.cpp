#include "platform/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

namespace pw {

struct CompiledRegex::Code {
    pcre2_code* code = nullptr;
};

namespace {

size_t utf8CharLength(std::string_view s, size_t pos) {
    size_t len = 1;
    while (pos + len < s.size() && (static_cast<unsigned char>(s[pos + len]) & 0xC0) == 0x80) ++len;
    return len;
}

struct MatchData {
    explicit MatchData(const pcre2_code* code)
        : data(pcre2_match_data_create_from_pattern(code, nullptr)) {}
    ~MatchData() { pcre2_match_data_free(data); }
    pcre2_match_data* data;
};

}  // namespace

void CompiledRegex::CodeDeleter::operator()(Code* code) const {
    pcre2_code_free(code->code);
    delete code;
}

std::unique_ptr<CompiledRegex> CompiledRegex::compile(std::string_view pattern,
                                                      RegexCase letterCase, RegexLines lines,
                                                      RegexError* fault) {
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (!context) return nullptr;
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    // ^ also after a line break that ends the subject, as in script engines.
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_CIRCUMFLEX;
    if (letterCase == RegexCase::Ignored) options |= PCRE2_CASELESS;
    if (lines == RegexLines::Multi) options |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     options, &error, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code) {
        if (fault) {
            PCRE2_UCHAR reason[256];
            const int length = pcre2_get_error_message(error, reason, sizeof reason);
            fault->reason.assign(reinterpret_cast<const char*>(reason), length > 0 ? length : 0);
            const std::string_view before =
                pattern.substr(0, std::min(errorOffset, pattern.size()));
            fault->offset = size_t(std::count_if(before.begin(), before.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            }));
        }
        return nullptr;
    }
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // without JIT the interpreter runs
    return std::unique_ptr<CompiledRegex>(new CompiledRegex(new Code{code}));
}

CompiledRegex::~CompiledRegex() = default;

std::optional<std::string> CompiledRegex::replace(std::string_view subject,
                                                  std::string_view replacement, bool global) const {
    MatchData match(code_->code);
    if (!match.data) return std::nullopt;
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    std::string out;
    size_t copied = 0;
    size_t from = 0;
    while (from <= subject.size()) {
        int rc = pcre2_match(code_->code, bytes, subject.size(), from, 0, match.data, nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (rc < 0) return std::nullopt;
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(match.data);
        const size_t start = vector[0], end = vector[1];
        if (end < start) return std::nullopt;  // \K in a look-ahead; none of ours does that
        out.append(subject, copied, start - copied);
        out.append(replacement);
        copied = end;
        if (!global) break;
        // After an empty match the search goes on one character later, as in script engines.
        from = end > start            ? end
               : end < subject.size() ? end + utf8CharLength(subject, end)
                                      : subject.size() + 1;
    }
    out.append(subject, copied);
    return out;
}

bool CompiledRegex::search(std::string_view subject) const {
    MatchData match(code_->code);
    if (!match.data) return false;
    return pcre2_match(code_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                       0, match.data, nullptr) >= 0;
}

}  // namespace pw
