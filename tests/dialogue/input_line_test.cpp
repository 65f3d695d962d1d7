#include "dialogue/input_line.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using dialogue::input_line;

TEST(input_line, takes_at_most_128_characters)
{
    input_line line;
    for (int i = 0; i < input_line::capacity; ++i)
        ASSERT_TRUE(line.append('x'));
    EXPECT_FALSE(line.append('y'));  // the 129th is refused
    EXPECT_EQ(line.text(), std::string(128, 'x'));
}

TEST(input_line, backspace_removes_the_last_character_and_nothing_on_an_empty_line)
{
    input_line line;
    EXPECT_FALSE(line.remove_last());
    line.append('1');
    line.append('2');
    EXPECT_TRUE(line.remove_last());
    EXPECT_EQ(line.text(), "1");
    line.reset();
    EXPECT_EQ(line.length(), 0);
}

TEST(input_line, tab_adds_blanks_while_fewer_than_126_characters)
{
    struct tab_case {
        int length_before;
        int blanks;
        bool refused;
    };
    for (const tab_case c : {tab_case{0, 8, false}, tab_case{118, 8, false}, tab_case{119, 7, true},
                             tab_case{125, 1, true}, tab_case{126, 0, true}, tab_case{128, 0, true}}) {
        input_line line;
        for (int i = 0; i < c.length_before; ++i)
            line.append('a');
        const auto result = line.append_tab();
        EXPECT_EQ(result.blanks_appended, c.blanks) << c.length_before;
        EXPECT_EQ(result.refused, c.refused) << c.length_before;
        EXPECT_EQ(line.length(), c.length_before + c.blanks);
    }
}

TEST(input_line, backspace_after_tab_removes_one_blank)
{
    input_line line;
    line.append('5');
    line.append_tab();
    line.remove_last();
    EXPECT_EQ(line.text(), "5" + std::string(7, ' '));
}

}  // namespace
