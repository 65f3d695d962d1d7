#pragma once
// Pause and Resume of the worker thread.  A thread cannot be suspended from
// outside here, so the pause is cooperative: the window thread takes the
// drawing lock, marks the run Paused and lets go; the worker stops at its next
// checkpoint (before every drawing, and now and then in the computation) and
// stays there until Resume.  It is therefore never held in the middle of a drawing.

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace dialogue_window {

enum class run_state { running, paused, finished };

class run_control {
public:
    explicit run_control(std::mutex& drawing_lock) noexcept : drawing_lock_(drawing_lock) {}
    run_control(const run_control&) = delete;
    run_control& operator=(const run_control&) = delete;

    run_state state() const noexcept { return state_.load(); }
    bool paused() const noexcept { return state() == run_state::paused; }

    // Window thread.  Pause while paused is remembered: the next Resume only
    // cancels it.  Nothing happens once the run is Finished.
    void pause();
    // Window thread.  Returns whether the run is Running again.
    bool resume();
    // The dialogue has returned; Pause no longer applies.
    void finish();

    // Worker thread: waits here while the run is paused.
    void checkpoint();
    // Worker thread: the drawing lock, taken only while the run is not paused.
    std::unique_lock<std::mutex> lock_for_drawing();

private:
    std::mutex& drawing_lock_;
    std::mutex state_lock_;
    std::condition_variable resumed_;
    std::atomic<run_state> state_{run_state::running};
    bool pause_remembered_ = false;
};

}  // namespace dialogue_window
