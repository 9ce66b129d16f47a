// Cutting a part's text into phrases and picking one to name the part after. The phrases are
// pieces of the cleaned text that hold no separator; the pick prefers a phrase long enough
// whenever one is. Input: one byte for the minimum length, then the text.

#include <algorithm>

#include "fuzz_support.h"
#include "split/strip_tags.h"
#include "split/title_phrase.h"
#include "support/test_host.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/line_breaks.h"
#include "text/system_texts.h"
#include "text_models.h"

using namespace pw;

namespace {

class SteppingClock : public Clock {
  public:
    uint64_t tickMs() override { return now_ += 7; }

  private:
    uint64_t now_ = 0;
};

std::vector<Text> charactersOf(std::string_view text) {
    std::vector<Text> chars;
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = charLengthAt(text, pos);
        chars.emplace_back(text.substr(pos, len));
        pos += len;
    }
    return chars;
}

bool qualifies(const Text& trimmed, int minChars) {
    return !trimmed.empty() && (minChars < 1 || countChars(trimmed) >= size_t(minChars));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const int minChars = int(fields.byte() % 20) - 2;
    const std::string_view text = fields.next();

    const TitlePhrases indexed = titlePhrases(Text(text));
    const std::vector<Text> phrases = indexed.list();
    const Text cleaned = trimBlankLinesAndEdges(stripTags(text));
    std::vector<Text> separators = charactersOf(lit(texts::kTitleSeparators));
    std::erase(separators, "\r\n");
    separators.push_back("\r");
    separators.push_back("\n");
    for (const Text& phrase : phrases) {
        FUZZ_EXPECT(cleaned.find(phrase) != Text::npos, {"text", text}, {"phrase", phrase});
        if (!fuzz::isCodePageText(text)) continue;
        for (const Text& c : charactersOf(phrase))
            FUZZ_EXPECT(std::find(separators.begin(), separators.end(), c) == separators.end(),
                        {"text", text}, {"phrase", phrase}, {"separator", c});
    }

    // Valid UTF-8 is cut as its code-page form is.
    const Text asCodePage = convertEncoding(text, "UTF-8", kCodePage);
    if (convertEncoding(asCodePage, kCodePage, "UTF-8") == text) {
        const TitlePhrases utf8 = titlePhrases(Text(text), true);
        const TitlePhrases codePage = titlePhrases(asCodePage);
        FUZZ_EXPECT(utf8.list() == codePage.list() &&
                        utf8.countLongEnough(minChars) == codePage.countLongEnough(minChars),
                    {"text", text});
    }

    static test::TestJobHost host;
    SteppingClock clock;
    RandomSource rng;
    PhrasePicker picker{rng, clock, host};
    const Text picked = pickTitlePhrase(indexed, minChars, picker);
    const size_t longEnough =
        size_t(std::count_if(phrases.begin(), phrases.end(),
                             [&](const Text& p) { return qualifies(trimSpaces(p), minChars); }));
    FUZZ_EXPECT(indexed.countLongEnough(minChars) == longEnough, {"text", text},
                {"minChars", std::to_string(minChars)});
    const auto isTrimmedPhrase = [&](const Text& p) { return trimSpaces(p) == picked; };
    const auto isPhrase = [&](const Text& p) { return p == picked; };
    const std::string shownMin = std::to_string(minChars);
    if (longEnough > 0)
        FUZZ_EXPECT(qualifies(picked, minChars) &&
                        std::any_of(phrases.begin(), phrases.end(), isTrimmedPhrase),
                    {"text", text}, {"picked", picked}, {"minChars", shownMin});
    else if (!phrases.empty())
        FUZZ_EXPECT(std::any_of(phrases.begin(), phrases.end(), isPhrase), {"text", text},
                    {"picked", picked});
    else
        FUZZ_EXPECT(picked.empty(), {"text", text}, {"picked", picked});

    const Text trimmed = trimSpaces(text);
    FUZZ_EXPECT(trimmed.empty() || trimSpaces(trimmed) == trimmed, {"text", text});
    return 0;
}
