// The typed line and pasted text, without any window: a reader thread asks
// for lines while the test plays the window thread.

#include "dialogue_window/console_input.hpp"
#include "wait_until.hpp"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <optional>
#include <string>

namespace dialogue_window {
namespace {

using window_testing::wait_until;

class recording_feedback : public input_feedback {
public:
    void echo_typed(std::string_view text) override { append(text); }
    void echo_pasted(std::string_view text) override { append(text); }
    bool erase_back() override
    {
        std::lock_guard lock(lock_);
        if (cursor_at_origin)
            return false;
        echoed_.push_back('<');
        return true;
    }
    void beep() override { ++beeps; }
    void input_state_changed() override {}

    std::string echoed() const
    {
        std::lock_guard lock(lock_);
        return echoed_;
    }
    std::atomic<int> beeps{0};
    std::atomic<bool> cursor_at_origin{false};

private:
    void append(std::string_view text)
    {
        std::lock_guard lock(lock_);
        echoed_ += text;
    }
    mutable std::mutex lock_;
    std::string echoed_;
};

class line_input : public ::testing::Test {
protected:
    ~line_input() override { input_.shut_down(); }

    // Starts a read on its own thread and waits until it waits for keys.
    std::future<std::optional<std::string>> start_read(int max_length = 130)
    {
        auto reader = std::async(std::launch::async, [this, max_length] { return input_.read_line(max_length); });
        EXPECT_TRUE(wait_until([this] { return input_.waiting(); }));
        return reader;
    }
    void type(std::string_view keys, bool paused = false)
    {
        for (char c : keys)
            input_.type_character(c, paused);
    }
    std::optional<std::string> finish(std::future<std::optional<std::string>>& reader)
    {
        EXPECT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        return reader.get();
    }

    recording_feedback feedback_;
    console_input input_{feedback_};
};

TEST_F(line_input, typed_line_is_echoed_and_returned_without_enter)
{
    auto reader = start_read();
    type("0.05\r");
    EXPECT_EQ(finish(reader), "0.05");
    EXPECT_EQ(feedback_.echoed(), "0.05");
    EXPECT_FALSE(input_.waiting());
}

TEST_F(line_input, line_feed_also_completes_the_line)
{
    auto reader = start_read();
    type("7\n");
    EXPECT_EQ(finish(reader), "7");
}

TEST_F(line_input, keys_with_no_read_waiting_beep_and_are_not_kept)
{
    type("12");
    EXPECT_EQ(feedback_.beeps, 2);
    auto reader = start_read();
    type("3\r");
    EXPECT_EQ(finish(reader), "3");
    EXPECT_EQ(feedback_.echoed(), "3");
}

TEST_F(line_input, keys_while_paused_beep_and_are_dropped)
{
    auto reader = start_read();
    type("9", true);
    EXPECT_EQ(feedback_.beeps, 1);
    type("\r", true);
    EXPECT_TRUE(input_.waiting());
    type("5\r");
    EXPECT_EQ(finish(reader), "5");
}

TEST_F(line_input, keys_after_enter_do_not_reach_the_next_line)
{
    auto reader = start_read();
    type("1\r2");
    EXPECT_EQ(finish(reader), "1");
    EXPECT_EQ(feedback_.beeps, 1);
}

TEST_F(line_input, backspace_on_empty_line_does_nothing)
{
    auto reader = start_read();
    type("\b\b4\r");
    EXPECT_EQ(finish(reader), "4");
    EXPECT_EQ(feedback_.beeps, 0);
    EXPECT_EQ(feedback_.echoed(), "4");
}

TEST_F(line_input, backspace_removes_the_last_character)
{
    auto reader = start_read();
    type("12\b3\r");
    EXPECT_EQ(finish(reader), "13");
    EXPECT_EQ(feedback_.echoed(), "12<3");
}

TEST_F(line_input, backspace_at_row_1_column_1_beeps_and_keeps_the_line)
{
    auto reader = start_read();
    type("ab");
    feedback_.cursor_at_origin = true;
    type("\b");
    EXPECT_EQ(feedback_.beeps, 1);
    type("\r");
    EXPECT_EQ(finish(reader), "ab");
}

TEST_F(line_input, the_129th_character_is_refused)
{
    auto reader = start_read();
    type(std::string(128, 'x'));
    type("y");
    EXPECT_EQ(feedback_.beeps, 1);
    type("\r");
    EXPECT_EQ(finish(reader), std::string(128, 'x'));
}

TEST_F(line_input, tab_adds_blanks_only_below_126_characters)
{
    auto reader = start_read();
    type(std::string(120, 'x'));
    type("\t");
    EXPECT_EQ(feedback_.beeps, 1);
    type("\t");
    EXPECT_EQ(feedback_.beeps, 2);
    type("\b\t\r");
    EXPECT_EQ(finish(reader), std::string(120, 'x') + std::string(6, ' '));
    EXPECT_EQ(feedback_.beeps, 3);
}

TEST_F(line_input, tab_after_text_adds_eight_blanks_and_backspace_removes_one)
{
    auto reader = start_read();
    type("a\t\bb\r");
    EXPECT_EQ(finish(reader), "a       b");
}

TEST_F(line_input, control_z_is_an_ordinary_character)
{
    auto reader = start_read();
    type("\x1a\r");
    EXPECT_EQ(finish(reader), "\x1a");
}

TEST_F(line_input, line_is_cut_to_the_length_asked_for)
{
    auto reader = start_read(3);
    type("abcdef\r");
    EXPECT_EQ(finish(reader), "abc");
}

TEST_F(line_input, three_pasted_lines_answer_three_reads)
{
    input_.paste("0.05\n10\r\n3\n");
    EXPECT_TRUE(input_.paste_pending());
    EXPECT_EQ(input_.read_line(130), "0.05");
    EXPECT_EQ(input_.read_line(130), "10");
    EXPECT_EQ(input_.read_line(130), "3");
    EXPECT_FALSE(input_.paste_pending());
    EXPECT_EQ(feedback_.echoed(), "0.0510" "3");
}

TEST_F(line_input, paste_into_a_waiting_read_completes_it_at_the_line_feed)
{
    auto reader = start_read();
    type("a");
    input_.paste("bc\nde");
    EXPECT_EQ(finish(reader), "abc");
    EXPECT_TRUE(input_.paste_pending());
    // The rest has no line feed: it starts the next line, which waits for Enter.
    auto next = start_read();
    EXPECT_FALSE(input_.paste_pending());
    type("f\r");
    EXPECT_EQ(finish(next), "def");
}

TEST_F(line_input, pasted_text_without_line_feed_leaves_the_line_open)
{
    auto reader = start_read();
    input_.paste("12");
    EXPECT_TRUE(wait_until([this] { return !input_.paste_pending() && input_.waiting(); }));
    type("3\r");
    EXPECT_EQ(finish(reader), "123");
}

TEST_F(line_input, pasted_tab_becomes_eight_blanks)
{
    auto reader = start_read();
    input_.paste("a\tb\n");
    EXPECT_EQ(finish(reader), "a        b");
}

TEST_F(line_input, pasted_piece_fills_the_room_up_to_126)
{
    auto reader = start_read();
    input_.paste(std::string(130, 'p') + "\n");
    EXPECT_EQ(finish(reader), std::string(126, 'p'));
    EXPECT_EQ(input_.read_line(130), "pppp");
}

TEST_F(line_input, pasted_line_handed_over_whole_takes_at_most_130)
{
    input_.paste(std::string(140, 'q') + "\n");
    EXPECT_EQ(input_.read_line(130), std::string(130, 'q'));
    EXPECT_EQ(input_.read_line(130), std::string(10, 'q'));
}

TEST_F(line_input, clear_paste_discards_what_is_left)
{
    input_.paste("1\n2\n");
    EXPECT_EQ(input_.read_line(130), "1");
    input_.clear_paste();
    EXPECT_FALSE(input_.paste_pending());
    auto reader = start_read();
    type("8\r");
    EXPECT_EQ(finish(reader), "8");
}

TEST_F(line_input, shut_down_ends_a_waiting_read_without_a_line)
{
    auto reader = start_read();
    input_.shut_down();
    EXPECT_EQ(finish(reader), std::nullopt);
    EXPECT_EQ(input_.read_line(130), std::nullopt);
}

}  // namespace
}  // namespace dialogue_window
