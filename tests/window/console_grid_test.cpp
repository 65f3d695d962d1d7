// The text grid without any window: cursor, wrap, scroll, colours, Copy text.

#include "dialogue_window/console_grid.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace dialogue_window {
namespace {

using namespace std::string_literals;

struct recording_painter : grid_painter {
    std::vector<std::string> runs;
    int scrolls = 0;
    int fills = 0;
    void draw_run(cell_position at, std::string_view characters, std::uint32_t, std::uint32_t) override
    {
        runs.push_back(std::to_string(at.row) + "," + std::to_string(at.column) + ":" + std::string(characters));
    }
    void scroll_up(std::uint32_t) override { ++scrolls; }
    void fill(std::uint32_t) override { ++fills; }
};

std::vector<std::string> all_rows(const console_grid& grid)
{
    std::vector<std::string> rows;
    for (int row = 1; row <= grid.rows(); ++row)
        rows.push_back(grid.row_text(row));
    return rows;
}

struct write_case {
    const char* name;
    int columns;
    int rows;
    std::vector<std::string> writes;
    std::vector<std::string> expected_rows;
    cell_position expected_cursor;
    int expected_scrolls;
};

void PrintTo(const write_case& c, std::ostream* os) { *os << c.name; }

class write_rules : public ::testing::TestWithParam<write_case> {};

TEST_P(write_rules, rows_cursor_and_scrolls)
{
    const auto& c = GetParam();
    console_grid grid(c.columns, c.rows);
    recording_painter painter;
    for (const auto& text : c.writes)
        grid.write(text, painter);
    EXPECT_EQ(all_rows(grid), c.expected_rows);
    EXPECT_EQ(grid.cursor(), c.expected_cursor);
    EXPECT_EQ(painter.scrolls, c.expected_scrolls);
}

INSTANTIATE_TEST_SUITE_P(
    console_grid, write_rules,
    ::testing::Values(
        write_case{"plain_text_stays_on_its_row", 10, 3, {"abc"}, {"abc", "", ""}, {1, 4}, 0},
        write_case{"carriage_return_overwrites_from_column_1", 10, 3, {"abcd\rxy"}, {"xycd", "", ""}, {1, 3}, 0},
        write_case{"line_feed_goes_to_column_1_of_next_row", 10, 3, {"ab\ncd"}, {"ab", "cd", ""}, {2, 3}, 0},
        write_case{"line_end_leaves_cursor_on_next_row", 10, 3, {"ab\r\n"}, {"ab", "", ""}, {2, 1}, 0},
        write_case{"nul_ends_the_text", 10, 3, {"ab\0cd"s}, {"ab", "", ""}, {1, 3}, 0},
        write_case{"later_write_continues_after_open_line", 10, 3, {"ab", "cd"}, {"abcd", "", ""}, {1, 5}, 0},
        write_case{"long_run_wraps_at_right_column", 5, 3, {"abcdefg"}, {"abcde", "fg", ""}, {2, 3}, 0},
        write_case{"text_ending_in_last_column_moves_to_next_row", 5, 3, {"abcde"}, {"abcde", "", ""}, {2, 1}, 0},
        write_case{"line_end_after_full_row_gives_empty_row", 5, 3, {"abcde", "\r\n"}, {"abcde", "", ""}, {3, 1}, 0},
        write_case{"nul_after_full_row_still_wraps", 5, 3, {"abcde\0x"s}, {"abcde", "", ""}, {2, 1}, 0},
        write_case{"line_feed_on_last_row_scrolls", 5, 2, {"a\nb\nc"}, {"b", "c"}, {2, 2}, 1},
        write_case{"wrap_on_last_row_scrolls", 3, 2, {"abcdefg"}, {"def", "g"}, {2, 2}, 1},
        write_case{"eighty_columns_wrap_last_three_of_banner_line", 80, 3,
                   {std::string(77, ' ') + "*******"},
                   {std::string(77, ' ') + "***", "****", ""}, {2, 5}, 0},
        write_case{"empty_text_draws_one_blank", 10, 3, {"ab", "", "c"}, {"ab c", "", ""}, {1, 5}, 0}),
    [](const ::testing::TestParamInfo<write_case>& info) { return std::string(info.param.name); });

TEST(console_grid, runs_are_drawn_in_one_piece_each)
{
    console_grid grid(5, 3);
    recording_painter painter;
    grid.write("ab\r\ncdefgh", painter);
    EXPECT_EQ(painter.runs, (std::vector<std::string>{"1,1:ab", "2,1:cdefg", "3,1:h"}));
}

TEST(console_grid, background_applies_to_cells_drawn_afterwards)
{
    console_grid grid(10, 3);
    recording_painter painter;
    grid.write("ab", painter);
    EXPECT_EQ(grid.set_background_rgb(0x997654), 0u);  // black, palette index 0
    grid.write("c", painter);
    EXPECT_EQ(grid.cell_background({1, 1}), 0u);
    EXPECT_EQ(grid.cell_background({1, 3}), 0x997654u);
    EXPECT_EQ(grid.set_background_rgb(0x0000FF), 0x997654u);
    EXPECT_EQ(grid.text_rgb(), 0xFFFFFFu);
}

TEST(console_grid, scroll_fills_new_bottom_row_with_current_background)
{
    console_grid grid(4, 2);
    recording_painter painter;
    grid.write("ab\ncd", painter);
    grid.set_background_rgb(0x997654);
    grid.write("\n", painter);
    EXPECT_EQ(grid.cell_background({1, 1}), 0u);  // "cd", drawn black, moved up
    EXPECT_EQ(grid.cell_background({2, 4}), 0x997654u);
    EXPECT_EQ(all_rows(grid), (std::vector<std::string>{"cd", ""}));
}

TEST(console_grid, clear_fills_homes_and_forgets_text)
{
    console_grid grid(10, 3);
    recording_painter painter;
    grid.write("ab\ncd", painter);
    grid.set_background_rgb(0x997654);
    grid.clear(painter);
    EXPECT_EQ(painter.fills, 1);
    EXPECT_EQ(grid.cursor(), (cell_position{1, 1}));
    EXPECT_TRUE(grid.segments().empty());
    EXPECT_EQ(grid.cell_background({3, 10}), 0x997654u);
    grid.write("x", painter);
    EXPECT_EQ(grid.row_text(1), "x");
}

struct erase_case {
    const char* name;
    std::string before;
    bool erased;
    cell_position cursor;
    std::vector<std::string> rows;
};

void PrintTo(const erase_case& c, std::ostream* os) { *os << c.name; }

class erase_back : public ::testing::TestWithParam<erase_case> {};

TEST_P(erase_back, steps_back_and_blanks)
{
    const auto& c = GetParam();
    console_grid grid(4, 3);
    recording_painter painter;
    if (!c.before.empty())
        grid.write(c.before, painter);
    EXPECT_EQ(grid.erase_back(painter), c.erased);
    EXPECT_EQ(grid.cursor(), c.cursor);
    EXPECT_EQ(all_rows(grid), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    console_grid, erase_back,
    ::testing::Values(erase_case{"refused_in_row_1_column_1", "", false, {1, 1}, {"", "", ""}},
                      erase_case{"within_a_row", "abc", true, {1, 3}, {"ab", "", ""}},
                      erase_case{"from_column_1_to_last_column_above", "abcd", true, {1, 4}, {"abc", "", ""}},
                      erase_case{"after_line_end_also_to_last_column", "ab\r\n", true, {1, 4}, {"ab", "", ""}}),
    [](const ::testing::TestParamInfo<erase_case>& info) { return std::string(info.param.name); });

TEST(console_grid, area_text_gives_one_line_per_row_without_trailing_blanks)
{
    console_grid grid(10, 4);
    recording_painter painter;
    grid.write("abc   \r\n  defgh\r\n\r\nxyz", painter);
    grid.write("\r Q", painter);  // overwrites part of a row: the later segment wins
    EXPECT_EQ(grid.area_text({1, 1}, {4, 10}), "abc\n  defgh\n\n Qz\n");
    EXPECT_EQ(grid.area_text({1, 3}, {2, 5}), "c\ndef\n");
    EXPECT_EQ(grid.area_text({2, 4}, {1, 1}), "abc\n  de\n");  // corners in any order
}

TEST(console_grid, segments_move_with_scroll)
{
    console_grid grid(5, 2);
    recording_painter painter;
    grid.write("ab\ncd\nef", painter);
    ASSERT_EQ(grid.segments().size(), 2u);
    EXPECT_EQ(grid.segments()[0].row, 1);
    EXPECT_EQ(grid.segments()[0].characters, "cd");
    EXPECT_EQ(grid.segments()[1].row, 2);
    EXPECT_EQ(grid.segments()[1].last_column(), 2);
}

struct palette_case {
    colour_value colour;
    std::uint32_t rgb;
};

void PrintTo(const palette_case& c, std::ostream* os) { *os << "rgb " << std::hex << c.rgb; }

class palette_colours : public ::testing::TestWithParam<palette_case> {};

TEST_P(palette_colours, convert_to_rgb)
{
    EXPECT_EQ(colour_rgb(GetParam().colour), GetParam().rgb);
}

INSTANTIATE_TEST_SUITE_P(console_grid, palette_colours,
                         ::testing::Values(palette_case{0, 0x000000}, palette_case{1, 0x800000},
                                           palette_case{4, 0x000080}, palette_case{7, 0xC0C0C0},
                                           palette_case{8, 0x808080}, palette_case{12, 0x0000FF},
                                           palette_case{14, 0x00FFFF}, palette_case{15, 0xFFFFFF},
                                           palette_case{rgb_flag | 0x997654, 0x997654}));

TEST(console_grid, needs_at_least_one_cell)
{
    EXPECT_THROW(console_grid(0, 5), std::invalid_argument);
    EXPECT_THROW(console_grid(5, 0), std::invalid_argument);
}

}  // namespace
}  // namespace dialogue_window
