// The regular-expression helper with fuzzed patterns and subjects: nothing may crash or hang,
// a literal pattern replaces exactly what a plain search finds, and a pattern that matches
// nothing gives the subject back byte for byte, whatever bytes it holds.
// Input: pattern, NUL, subject, NUL, replacement, NUL, one byte of options.

#include "text/regex_helper.h"
#include "fuzz_support.h"
#include "text_models.h"

using namespace pw;

namespace {

// Every occurrence at a character start, left to right, without overlaps.
Text replaceLiterally(std::string_view subject, std::string_view needle,
                      std::string_view replacement) {
    Text out;
    for (size_t pos = 0; pos < subject.size();) {
        if (subject.substr(pos).starts_with(needle)) {
            out += replacement;
            pos += needle.size();
        } else {
            const size_t step = fuzz::searchStep(subject, pos);
            out += subject.substr(pos, step);
            pos += step;
        }
    }
    return out;
}

bool hasWildcards(std::string_view text) {
    return text.find_first_of("*?|") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const Text pattern(fields.next()), subject(fields.next()), replacement(fields.next());
    const uint8_t options = fields.byte();

    RegexHelper fuzzed;
    fuzzed.create(pattern, options & 1 ? RegexCase::Ignored : RegexCase::Sensitive,
                  options & 2 ? RegexLines::Multi : RegexLines::Single,
                  options & 4 ? RegexMatches::All : RegexMatches::First);
    const Text result = fuzzed.replace(subject, replacement);
    if (!fuzzed.compiled()) FUZZ_EXPECT(result.empty(), {"pattern", pattern});

    // The pattern text taken literally, as the wildcard conversion escapes it.
    if (pattern.empty() || hasWildcards(pattern) || !fuzz::isCodePageText(pattern)) return 0;
    RegexHelper literal;
    literal.create(RegexHelper::wildcardToPattern(pattern), RegexCase::Sensitive);
    FUZZ_EXPECT(literal.compiled(), {"pattern", pattern});
    const Text whole = literal.replace(pattern, "<>");
    FUZZ_EXPECT(whole == "<>", {"pattern", pattern}, {"got", whole});
    const std::string_view safeReplacement =
        fuzz::isCodePageText(replacement) ? std::string_view(replacement) : "#";
    if (fuzz::isCodePageText(subject)) {
        const Text got = literal.replace(subject, Text(safeReplacement));
        const Text want = replaceLiterally(subject, pattern, safeReplacement);
        FUZZ_EXPECT(got == want, {"pattern", pattern}, {"subject", subject}, {"got", got},
                    {"want", want});
    } else if (subject.find(pattern) == Text::npos) {
        // Bytes that form no character stay as they are where nothing matched.
        const Text got = literal.replace(subject, Text(safeReplacement));
        FUZZ_EXPECT(got == subject, {"pattern", pattern}, {"subject", subject}, {"got", got});
    }
    return 0;
}
