// The heading scan against a model that builds its lines from pieces and so knows what each is.
// First byte even: the rest is any text, planned into chapters that must cover it exactly, each
// starting at a heading line. Odd: the bytes choose the pieces of one line (indent, wrapper,
// number in one of three writings, unit, what follows), and the scan must agree with the model.

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "split/chapter_plan.h"
#include "text/codepage.h"

namespace {

using namespace pw;

std::string chineseNumber(int n) {
    static const char* const kDigits[] = {"零", "一", "二", "三", "四",
                                          "五", "六", "七", "八", "九"};
    static const char* const kUnits[] = {"千", "百", "十", ""};
    static const int kValues[] = {1000, 100, 10, 1};
    std::string out;
    bool started = false, gap = false;
    for (int i = 0; i < 4; ++i) {
        const int d = n / kValues[i] % 10;
        if (d == 0) {
            gap = started;
            continue;
        }
        if (gap) out += kDigits[0];
        gap = false;
        if (!(d == 1 && i == 2 && !started)) out += kDigits[d];
        out += kUnits[i];
        started = true;
    }
    return out;
}

std::string widened(const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += std::string("０１２３４５６７８９").substr(size_t(c - '0') * 3, 3);
    return out;
}

struct Built {
    std::string line;  // UTF-8
    size_t chars = 0;  // after the indent
    bool heading = false, alone = true;
    HeadingLevel level = HeadingLevel::Chapter;
    int64_t number = 0;
};

void add(Built& b, const std::string& piece, size_t chars) {
    b.line += piece;
    b.chars += chars;
}

Built buildLine(fuzz::Fields& in) {
    static const char* const kIndents[] = {"", "  ", "　", "\t"};
    static const char* const kUnits[] = {"章", "回", "节", "话", "幕", "卷", "部", "集", "篇"};
    static const char* const kTitle = "风起云涌江湖归来夜雨";  // no numeral, unit or punctuation
    Built b;
    b.line = kIndents[in.byte() % 4];
    const uint8_t shape = in.byte();
    const int n = 1 + (in.byte() << 8 | in.byte()) % 9999;
    const int unit = in.byte() % 9;
    const size_t titleChars = in.byte() % 45;
    const bool wrapped = shape & 1;
    const int writing = (shape >> 1) % 3;
    // Nothing, separator + title, title, separator + title + prose, title + prose.
    const int follow = (shape >> 3) % 5;

    if (wrapped) add(b, "【", 1);
    const std::string digits = std::to_string(n);
    const std::string number = writing == 0   ? chineseNumber(n)
                               : writing == 1 ? digits
                                              : widened(digits);
    add(b, "第" + number + kUnits[unit],
        2 + (writing == 0 ? chineseNumber(n).size() / 3 : digits.size()));
    if (wrapped) add(b, "】", 1);
    std::string title;
    for (size_t i = 0; i < titleChars; ++i) title += std::string(kTitle).substr(i % 10 * 3, 3);
    if (follow == 1 || follow == 3) add(b, " ", 1);
    if (follow != 0) add(b, title, titleChars);
    if (follow >= 3) add(b, "。他说，走吧", 6);

    b.level = unit >= 5 ? HeadingLevel::Volume : HeadingLevel::Chapter;
    b.number = n;
    b.alone = follow < 3;
    // Prose straight after the unit reads as a sentence in which the unit is a measure word.
    b.heading = b.chars <= kDefaultHeadingMaxChars && !(follow == 4 && !wrapped);
    return b;
}

void checkLine(fuzz::Fields& in) {
    const Built b = buildLine(in);
    const auto h = findChapterHeading(lit(b.line), {});
    FUZZ_EXPECT(h.has_value() == b.heading, {"line", b.line});
    if (!h) return;
    FUZZ_EXPECT(h->level == b.level && h->number == b.number && h->alone == b.alone,
                {"line", b.line}, {"number", std::to_string(h->number)});
}

void checkPlan(std::string_view text) {
    ChapterPlanner planner{HeadingRule{}};
    planChapters(planner, text);
    size_t offset = 0;
    for (const ChapterEntry& c : planner.chapters()) {
        FUZZ_EXPECT(c.offset == offset, {"text", text});
        if (c.mark) {
            const size_t end = text.find('\n', c.offset);
            const std::string_view line =
                text.substr(c.offset, end == std::string_view::npos ? end : end + 1 - c.offset);
            FUZZ_EXPECT(findChapterHeading(line, {}).has_value(), {"line", line});
        }
        offset += c.bytes;
    }
    FUZZ_EXPECT(offset == text.size(), {"text", text});
    size_t covered = 0;
    for (const PlannedPart& p : groupChapters(planner.chapters(), 2)) {
        FUZZ_EXPECT(p.offset == covered, {"text", text});
        covered += p.bytes;
    }
    FUZZ_EXPECT(covered == text.size(), {"text", text});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields in(data, size);
    if (in.byte() % 2)
        checkLine(in);
    else
        checkPlan(in.rest());
    return 0;
}
