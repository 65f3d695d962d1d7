#include "dialogue_window/run_control.hpp"

namespace dialogue_window {

void run_control::pause()
{
    // Taking the drawing lock first means the worker is not inside a drawing.
    std::scoped_lock locks(drawing_lock_, state_lock_);
    switch (state_.load()) {
    case run_state::running: state_ = run_state::paused; break;
    case run_state::paused: pause_remembered_ = true; break;
    case run_state::finished: break;
    }
}

bool run_control::resume()
{
    std::lock_guard lock(state_lock_);
    if (state_.load() != run_state::paused)
        return state_.load() == run_state::running;
    if (pause_remembered_) {
        pause_remembered_ = false;
        return false;
    }
    state_ = run_state::running;
    resumed_.notify_all();
    return true;
}

void run_control::finish()
{
    std::lock_guard lock(state_lock_);
    state_ = run_state::finished;
    pause_remembered_ = false;
    resumed_.notify_all();
}

void run_control::checkpoint()
{
    if (!paused())
        return;
    std::unique_lock lock(state_lock_);
    resumed_.wait(lock, [this] { return state_.load() != run_state::paused; });
}

std::unique_lock<std::mutex> run_control::lock_for_drawing()
{
    for (;;) {
        std::unique_lock drawing(drawing_lock_);
        if (!paused())
            return drawing;
        drawing.unlock();
        checkpoint();
    }
}

}  // namespace dialogue_window
