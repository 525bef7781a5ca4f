#include "core/folder/TextRules.h"

#include <gtest/gtest.h>

namespace {

// "dal" elides before a number whose Italian reading starts with a vowel.
TEST(TextRules, DalIsElidedBeforeANumberReadWithAVowel) {
    struct Case {
        const char* text;
        const char* said;
    };
    const Case cases[] = {
        {"11.12.2026 05:48", "dall'11.12.2026 05:48"},
        {"1.3.2026", "dall'1.3.2026"},
        {"01.03.2026", "dall'01.03.2026"},
        {"8.3.2026", "dall'8.3.2026"},
        {"08.03.2026", "dall'08.03.2026"},
        {"80", "dall'80"},
        {"89", "dall'89"},
        {"800", "dall'800"},
        {"8000", "dall'8000"},
        {"11000", "dall'11000"},
        {"12.12.2026", "dal 12.12.2026"},
        {"10.1.2026", "dal 10.1.2026"},
        {"18.8.2026", "dal 18.8.2026"},
        {"21.1.2026", "dal 21.1.2026"},
        {"31.8.2026", "dal 31.8.2026"},
        {"90", "dal 90"},
        {"1000", "dal 1000"},
        {"1800", "dal 1800"},
        {"2000", "dal 2000"},
        {"lunedì", "dal lunedì"},
        {"", "dal "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithDal(QString::fromUtf8(c.text)), QString::fromUtf8(c.said)) << c.text;
}

}  // namespace
