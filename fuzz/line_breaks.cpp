// Line-break correction against its rule taken byte by byte, and the blank-line clean-up's
// direct scan against the regular expression it stands for (on valid code-page text, which the
// expression engine can take).

#include "text/line_breaks.h"
#include "fuzz_support.h"
#include "text/regex_helper.h"
#include "text/system_texts.h"
#include "text_models.h"

using namespace pw;

namespace {

Text modelFixLineBreaks(std::string_view text) {
    Text out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool loneCr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        const bool loneLf = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
        out += loneCr || loneLf ? std::string("\r\n") : std::string(1, text[i]);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.next();

    const Text fixed = fixLineBreaks(text);
    FUZZ_EXPECT(fixed == modelFixLineBreaks(text), {"text", text}, {"got", fixed});
    FUZZ_EXPECT(fixLineBreaks(fixed) == fixed, {"text", text});

    const Text trimmed = trimBlankLinesAndEdges(text);
    if (fuzz::isCodePageText(text)) {
        RegexHelper blanks;
        blanks.create(lit(texts::kBlankTrimPattern));
        const Text want = blanks.replace(Text(text), "");
        FUZZ_EXPECT(trimmed == want, {"text", text}, {"got", trimmed}, {"want", want});
    }
    return 0;
}
