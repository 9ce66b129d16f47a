// Edit-box numbers against the C library: after full-width folding, textToInt reads as strtoll
// clamped to 32 bits and textToFloat as strtod narrowed to single precision. Folding keeps the
// character count and is idempotent.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "fuzz_support.h"
#include "text/chars.h"
#include "text/numeric_text.h"

using namespace pw;

namespace {

// strtod also reads hexadecimal numbers; the edit boxes take decimal ones only.
bool hexadecimal(const Text& folded) {
    size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r'))) ++i;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) ++i;
    return folded.size() - i >= 2 && folded[i] == '0' && (folded[i + 1] | 0x20) == 'x';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.next();
    const Text folded = foldFullWidth(text);
    FUZZ_EXPECT(foldFullWidth(folded) == folded, {"text", text});
    FUZZ_EXPECT(countChars(folded) == countChars(text), {"text", text}, {"folded", folded});

    const long long wide = std::strtoll(folded.c_str(), nullptr, 10);
    const int32_t wantInt = int32_t(std::clamp<long long>(wide, std::numeric_limits<int32_t>::min(),
                                                          std::numeric_limits<int32_t>::max()));
    const int32_t gotInt = textToInt(text);
    FUZZ_EXPECT(gotInt == wantInt, {"text", text}, {"got", std::to_string(gotInt)},
                {"want", std::to_string(wantInt)});

    if (hexadecimal(folded)) return 0;
    const float want = float(std::strtod(folded.c_str(), nullptr));
    const float got = textToFloat(text);
    const bool same = (std::isnan(got) && std::isnan(want)) || got == want;
    FUZZ_EXPECT(same, {"text", text}, {"got", std::to_string(got)}, {"want", std::to_string(want)});
    return 0;
}
