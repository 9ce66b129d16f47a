#include "text/html_charset.h"

#include <vector>

#include "text/system_texts.h"
#include "text/text_between.h"

namespace pw {
namespace {

std::vector<Text> splitList(std::string_view list) {
    const Text separator = lit(texts::kListSeparator);
    std::vector<Text> items;
    size_t pos = 0;
    for (size_t hit; (hit = list.find(separator, pos)) != std::string_view::npos;
         pos = hit + separator.size())
        items.emplace_back(list.substr(pos, hit - pos));
    if (pos < list.size()) items.emplace_back(list.substr(pos));
    return items;
}

bool declares(std::string_view meta, std::string_view declarations) {
    return containsAny(meta, expandQuotes(lit(declarations)));
}

}  // namespace

bool containsAny(std::string_view text, std::string_view list) {
    for (const Text& item : splitList(list))
        if (findText(text, item) != std::string_view::npos) return true;
    return false;
}

DeclaredCharset htmlDeclaredCharset(std::string_view text) {
    int64_t position = 0;
    const Text head =
        textBetween(text, lit(texts::kHeadOpen), lit(texts::kHeadClose), position, true);
    const std::string_view scope = head.empty() ? text : std::string_view(head);
    const Text metaOpen = lit(texts::kMetaOpen), metaClose = lit(texts::kMetaClose);
    position = 0;
    for (;;) {
        const Text meta = textBetween(scope, metaOpen, metaClose, position);
        if (meta.empty()) return DeclaredCharset::None;
        if (declares(meta, texts::kUtf8Declarations)) return DeclaredCharset::Utf8;
        if (declares(meta, texts::kBig5HkscsDeclarations)) return DeclaredCharset::Big5Hkscs;
        if (declares(meta, texts::kBig5Declarations)) return DeclaredCharset::Big5;
    }
}

}  // namespace pw
