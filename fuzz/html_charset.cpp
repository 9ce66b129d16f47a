// The HTML charset check against the obvious walk over the head's meta tags, and the length of
// content read as text for it against a byte-by-byte walk.

#include "text/html_charset.h"
#include "fuzz_support.h"
#include "text/encoding_detect.h"
#include "text/system_texts.h"
#include "text_models.h"

using namespace pw;

namespace {

bool modelContainsAny(std::string_view text, std::string_view declarations) {
    const Text list = fuzz::naiveExpandQuotes(lit(declarations));
    const Text separator = lit(texts::kListSeparator);
    for (size_t pos = 0; pos < list.size();) {
        const size_t hit = std::min(list.find(separator, pos), list.size());
        if (fuzz::naiveFind(text, list.substr(pos, hit - pos), 0) != std::string_view::npos)
            return true;
        pos = hit + separator.size();
    }
    return false;
}

DeclaredCharset modelDeclared(std::string_view text) {
    const Text head = lit(texts::kHeadSentinel), tail = lit(texts::kTailSentinel);
    int64_t p = 0;
    const Text headSection = fuzz::modelTextBetween(text, "<head>", "</head>", p, true, head, tail);
    const std::string_view scope = headSection.empty() ? text : std::string_view(headSection);
    p = 0;
    for (;;) {
        const Text meta = fuzz::modelTextBetween(scope, "<meta", ">", p, false, head, tail);
        if (meta.empty()) return DeclaredCharset::None;
        if (modelContainsAny(meta, texts::kUtf8Declarations)) return DeclaredCharset::Utf8;
        if (modelContainsAny(meta, texts::kBig5HkscsDeclarations))
            return DeclaredCharset::Big5Hkscs;
        if (modelContainsAny(meta, texts::kBig5Declarations)) return DeclaredCharset::Big5;
    }
}

// Up to a NUL or 1A byte at a character start, or a lead byte followed by NUL.
size_t modelTextLength(std::string_view content) {
    for (size_t i = 0; i < content.size();) {
        const auto c = static_cast<unsigned char>(content[i]);
        if (c == 0 || c == 0x1A) return i;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 < content.size() && content[i + 1] == '\0') return i;
        i += 2;
    }
    return content.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content = fuzz::asBytes(data, size);
    const size_t length = declarationTextLength(content);
    FUZZ_EXPECT(length == modelTextLength(content), {"content", content});

    const std::string_view text = content.substr(0, length);
    const DeclaredCharset got = htmlDeclaredCharset(text);
    const std::string shown = std::to_string(int(got));
    FUZZ_EXPECT(got == modelDeclared(text), {"text", text}, {"got", shown});
    return 0;
}
