#include "print/engine/PrintChoices.h"

#include <gtest/gtest.h>

namespace report {
namespace {

using Range = PrintChoices::Range;
using Which = PrintChoices::Which;

struct ChoiceCase {
    const char* name;
    PrintChoices choices;
    int pageCount;
    std::vector<int> expected;  // 0-based
};

PrintChoices Choose(Range range, const char* pages = "", Which which = Which::All, bool reverse = false,
                    int copies = 1, bool collate = true, int current = 1) {
    PrintChoices c;
    c.range = range;
    c.pages = QString::fromLatin1(pages);
    c.which = which;
    c.reverse = reverse;
    c.copies = copies;
    c.collate = collate;
    c.current = current;
    return c;
}

class PageOrderTable : public testing::TestWithParam<ChoiceCase> {};

TEST_P(PageOrderTable, GivesThePaintingSequence) {
    const ChoiceCase& c = GetParam();
    const PageOrder order(c.choices, c.pageCount);
    std::vector<int> sequence;
    for (long long i = 0; i < order.Count(); ++i) sequence.push_back(order.At(i));
    EXPECT_EQ(sequence, c.expected);
}

// 9,999 copies of 215,000 pages are more than an int counts; the pages at the
// far end are computed, not listed.
TEST(PageOrder, CountsCopiesOfLongDocumentsInSixtyFourBits) {
    for (const bool collate : {true, false}) {
        PrintChoices choices;
        choices.copies = 9999;
        choices.collate = collate;
        const PageOrder order(choices, 215000);
        EXPECT_EQ(order.Count(), 215000LL * 9999);
        EXPECT_EQ(order.At(order.Count() - 1), 214999);
        EXPECT_EQ(order.At(215000LL * 5000), collate ? 0 : 107510);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PrintChoices, PageOrderTable,
    testing::Values(
        ChoiceCase{"all", Choose(Range::All), 3, {0, 1, 2}},
        ChoiceCase{"no_pages", Choose(Range::All), 0, {}},
        ChoiceCase{"current", Choose(Range::Current, "", Which::All, false, 1, true, 2), 3, {1}},
        ChoiceCase{"current_beyond", Choose(Range::Current, "", Which::All, false, 1, true, 5), 3, {}},
        ChoiceCase{"example_range", Choose(Range::Pages, "1,3,5-12"), 20, {0, 2, 4, 5, 6, 7, 8, 9, 10, 11}},
        ChoiceCase{"range_cut_to_count", Choose(Range::Pages, "1,3,5-12"), 6, {0, 2, 4, 5}},
        ChoiceCase{"range_sorted_once", Choose(Range::Pages, " 4 , 2-3,3,1 "), 5, {0, 1, 2, 3}},
        ChoiceCase{"range_backwards", Choose(Range::Pages, "4-2"), 5, {1, 2, 3}},
        ChoiceCase{"range_open_end", Choose(Range::Pages, "4-"), 6, {3, 4, 5}},
        ChoiceCase{"range_open_start", Choose(Range::Pages, "-2"), 6, {0, 1}},
        ChoiceCase{"range_unreadable", Choose(Range::Pages, "x,2-y,3"), 6, {2}},
        ChoiceCase{"range_empty_is_all", Choose(Range::Pages, "  "), 2, {0, 1}},
        ChoiceCase{"range_zero", Choose(Range::Pages, "0"), 3, {}},
        ChoiceCase{"odd", Choose(Range::All, "", Which::Odd), 5, {0, 2, 4}},
        ChoiceCase{"even", Choose(Range::All, "", Which::Even), 5, {1, 3}},
        ChoiceCase{"even_of_range", Choose(Range::Pages, "3-6", Which::Even), 9, {3, 5}},
        ChoiceCase{"reverse", Choose(Range::All, "", Which::All, true), 3, {2, 1, 0}},
        ChoiceCase{"reverse_odd", Choose(Range::All, "", Which::Odd, true), 5, {4, 2, 0}},
        ChoiceCase{"copies_collated", Choose(Range::All, "", Which::All, false, 2, true), 3, {0, 1, 2, 0, 1, 2}},
        ChoiceCase{"copies_uncollated", Choose(Range::All, "", Which::All, false, 2, false), 3, {0, 0, 1, 1, 2, 2}},
        ChoiceCase{"copies_reverse_uncollated", Choose(Range::Pages, "1-2", Which::All, true, 3, false), 4,
                   {1, 1, 1, 0, 0, 0}},
        ChoiceCase{"copies_below_one", Choose(Range::All, "", Which::All, false, 0, true), 2, {0, 1}}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace report
