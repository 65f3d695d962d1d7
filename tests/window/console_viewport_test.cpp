// The view offset moves only by the scrolling keys, within the picture.

#include "dialogue_window/console_viewport.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace dialogue_window {
namespace {

struct key_case {
    const char* name;
    view_offset start;
    scroll_key key;
    bool control;
    view_offset expected;
};

void PrintTo(const key_case& c, std::ostream* os) { *os << c.name; }

class scrolling_keys : public ::testing::TestWithParam<key_case> {};

// A 1024 by 768 picture seen through a 300 by 200 view.
TEST_P(scrolling_keys, move_the_view)
{
    const auto& c = GetParam();
    console_viewport viewport(8, 16);
    viewport.set_sizes(1024, 768, 300, 200);
    viewport.scroll_to(c.start);
    EXPECT_EQ(viewport.apply_key(c.key, c.control), !(c.start == c.expected));
    EXPECT_EQ(viewport.offset(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    console_viewport, scrolling_keys,
    ::testing::Values(key_case{"right_one_cell", {0, 0}, scroll_key::right, false, {8, 0}},
                      key_case{"down_one_cell", {0, 0}, scroll_key::down, false, {0, 16}},
                      key_case{"left_stops_at_edge", {0, 0}, scroll_key::left, false, {0, 0}},
                      key_case{"page_down_one_view_height", {0, 0}, scroll_key::page_down, false, {0, 200}},
                      key_case{"page_down_stops_at_bottom", {0, 500}, scroll_key::page_down, false, {0, 568}},
                      key_case{"control_page_down_one_view_width", {0, 0}, scroll_key::page_down, true, {300, 0}},
                      key_case{"control_page_up_one_view_width_left", {400, 16}, scroll_key::page_up, true, {100, 16}},
                      key_case{"end_goes_to_right_edge", {0, 32}, scroll_key::end, false, {724, 32}},
                      key_case{"home_goes_to_left_edge", {100, 32}, scroll_key::home, false, {0, 32}},
                      key_case{"control_end_goes_to_bottom_right", {0, 0}, scroll_key::end, true, {724, 568}},
                      key_case{"control_home_goes_to_top_left", {50, 60}, scroll_key::home, true, {0, 0}}),
    [](const ::testing::TestParamInfo<key_case>& info) { return std::string(info.param.name); });

TEST(console_viewport, larger_view_than_picture_cannot_scroll)
{
    console_viewport viewport(8, 16);
    viewport.set_sizes(640, 480, 800, 600);
    EXPECT_FALSE(viewport.apply_key(scroll_key::down, false));
    EXPECT_EQ(viewport.offset(), (view_offset{0, 0}));
}

TEST(console_viewport, growing_view_pulls_offset_back_into_range)
{
    console_viewport viewport(8, 16);
    viewport.set_sizes(1024, 768, 300, 200);
    viewport.scroll_to({724, 568});
    viewport.set_sizes(1024, 768, 1000, 700);
    EXPECT_EQ(viewport.offset(), (view_offset{24, 68}));
}

}  // namespace
}  // namespace dialogue_window
