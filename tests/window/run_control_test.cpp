// Pause holds the worker at its next checkpoint, never inside a drawing.

#include "dialogue_window/run_control.hpp"
#include "wait_until.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace dialogue_window {
namespace {

using window_testing::wait_until;

// A worker that counts its steps; each step is a drawing under the lock,
// followed by a computation checkpoint.
class counting_worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        worker_ = std::thread([this] {
            while (!stop_) {
                {
                    auto drawing = control_.lock_for_drawing();
                    inside_drawing_ = true;
                    ++steps_;
                    inside_drawing_ = false;
                }
                control_.checkpoint();
            }
        });
        ASSERT_TRUE(wait_until([this] { return steps_ > 0; }));
    }
    void TearDown() override
    {
        stop_ = true;
        control_.finish();
        worker_.join();
    }
    // After Pause no further step may happen; the sleep only gives a faulty
    // worker the chance to show it.
    void expect_no_progress()
    {
        const long frozen = steps_;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(steps_, frozen);
    }
    void expect_progress()
    {
        const long before = steps_;
        EXPECT_TRUE(wait_until([&] { return steps_ > before; }));
    }

    std::mutex drawing_lock_;
    run_control control_{drawing_lock_};
    std::atomic<bool> stop_{false};
    std::atomic<bool> inside_drawing_{false};
    std::atomic<long> steps_{0};
    std::thread worker_;
};

TEST_F(counting_worker, pause_stops_and_resume_continues)
{
    control_.pause();
    EXPECT_EQ(control_.state(), run_state::paused);
    EXPECT_FALSE(inside_drawing_);
    expect_no_progress();
    EXPECT_TRUE(control_.resume());
    EXPECT_EQ(control_.state(), run_state::running);
    expect_progress();
}

TEST_F(counting_worker, second_pause_is_remembered_by_one_resume)
{
    control_.pause();
    control_.pause();
    EXPECT_FALSE(control_.resume());
    EXPECT_EQ(control_.state(), run_state::paused);
    expect_no_progress();
    EXPECT_TRUE(control_.resume());
    expect_progress();
}

TEST_F(counting_worker, resume_while_running_changes_nothing)
{
    EXPECT_TRUE(control_.resume());
    EXPECT_EQ(control_.state(), run_state::running);
    control_.pause();
    EXPECT_TRUE(control_.resume());
    expect_progress();
}

TEST(run_control, pause_after_finish_changes_nothing)
{
    std::mutex drawing_lock;
    run_control control(drawing_lock);
    control.finish();
    control.pause();
    EXPECT_EQ(control.state(), run_state::finished);
    control.checkpoint();  // must not block
}

}  // namespace
}  // namespace dialogue_window
