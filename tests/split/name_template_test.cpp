#include <gtest/gtest.h>

#include "split/name_template.h"

namespace pw::test {
namespace {

using E = NameTemplateError;

TEST(NameTemplate, RefusesWhatCouldCollideOrLeaveOrderAndExpandsTheRest) {
    struct Case {
        const char* text;
        E error;
        const char* part3of12;  // stem "a b", extension "txt", phrase "风起"
    };
    const Case cases[] = {
        {"{name}_{n}.{ext}", E::None, "a b_3.txt"},
        {"{name}.{ext}.{n:03}", E::None, "a b.txt.003"},
        {"{n:05}-{count}-{name}", E::None, "00003-12-a b"},
        {"{name}_{n} {first}.{ext}", E::None, "a b_3 风起.txt"},
        {"{n}x{first}", E::None, "3x风起"},
        {"{{{n}}}.{ext}", E::None, "{3}.txt"},  // escaped braces
        {"{name}", E::NoNumber, nullptr},
        {"{first}_{n}", E::PhraseFirst, nullptr},       // the text would order the parts
        {"{n}{first}", E::PhraseJoins, nullptr},        // 1 + "1x" meets 11 + "x"
        {"{n}07{first}", E::PhraseJoins, nullptr},      // digits do not end the number
        {"{n}{name}{first}", E::PhraseJoins, nullptr},  // a stem of digits neither
        {"{n}.{ext}{first}", E::PhraseJoins, nullptr},  // the dot goes with an empty ext
        {"{n}{count}_{first}", E::None, "312_风起"},    // "_" ends both numbers' digits
        {"{n:3}", E::Unknown, nullptr},
        {"{n:00}", E::Unknown, nullptr},
        {"{name}_{n", E::Unknown, nullptr},
        {"{name}}_{n}", E::Unknown, nullptr},
        {"{nme}_{n}", E::Unknown, nullptr},
        {"../{n}", E::Separator, nullptr},
        {"a\\{n}", E::Separator, nullptr},
        {"a\t{n}", E::Separator, nullptr},
    };
    for (const Case& c : cases) {
        E error = E::None;
        const auto t = NameTemplate::parse(c.text, &error);
        EXPECT_EQ(error, c.error) << c.text;
        ASSERT_EQ(t.has_value(), c.part3of12 != nullptr) << c.text;
        if (t) {
            EXPECT_EQ(t->expand("a b", "txt", 3, 12, "风起"), c.part3of12) << c.text;
        }
    }
}

TEST(NameTemplate, ExpandsPaddingAndAnEmptyExtension) {
    const auto dotted = NameTemplate::parse("{name}.{ext}.{n:03}");
    ASSERT_TRUE(dotted);
    EXPECT_EQ(dotted->expand("a", "", 7, 0, ""), "a.007");           // no "a..007"
    EXPECT_EQ(dotted->expand("a", "gz", 1234, 0, ""), "a.gz.1234");  // wider when it must be
    const auto plain = NameTemplate::parse(std::string(kDefaultNameTemplate));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->expand("README", "", 2, 0, ""), "README_2");  // today's name
    EXPECT_FALSE(plain->usesFirst());
    EXPECT_TRUE(NameTemplate::parse("{n}_{first}")->usesFirst());
    EXPECT_TRUE(NameTemplate::parse("{n}_{count}")->usesCount());
}

}  // namespace
}  // namespace pw::test
