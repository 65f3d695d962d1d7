#pragma once
// The typed line a read waits for, and pasted text standing in for typing.
// The worker asks for a line and blocks; the window thread feeds it typed
// characters and pasted text.  No toolkit here: echo and beeps go through
// input_feedback.

#include "dialogue/input_line.hpp"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace dialogue_window {

class input_feedback {
public:
    virtual ~input_feedback() = default;
    // Echo of typed characters, on the window thread (never while paused).
    virtual void echo_typed(std::string_view text) = 0;
    // Echo of pasted text taken by the reading worker thread.
    virtual void echo_pasted(std::string_view text) = 0;
    // Backspace: false when the cursor stands in row 1, column 1.
    virtual bool erase_back() = 0;
    virtual void beep() = 0;
    // Whether a read waits or pasted text is pending has changed (any thread).
    virtual void input_state_changed() = 0;
};

class console_input {
public:
    // Pasted lines handed over whole take at most this many characters.
    static constexpr std::size_t pasted_line_limit = 130;

    explicit console_input(input_feedback& feedback) noexcept : feedback_(feedback) {}
    console_input(const console_input&) = delete;
    console_input& operator=(const console_input&) = delete;

    // Worker thread: one line of at most max_length characters, without its
    // Enter; std::nullopt once the window has shut the input down.
    std::optional<std::string> read_line(int max_length);

    // Window thread.  A character key; refused with a beep while no read
    // waits or while the run is paused.
    void type_character(char c, bool paused);
    // Window thread.  cp1252 text from the clipboard, consumed line by line.
    void paste(std::string_view text);
    void clear_paste();
    // Ends every waiting and future read with no line (the window is going away).
    void shut_down();

    bool waiting() const;
    bool paste_pending() const;

private:
    std::optional<std::string> take_pasted_line(std::unique_lock<std::mutex>& lock);
    bool take_pasted_piece(std::unique_lock<std::mutex>& lock);
    void set_waiting(bool waiting);
    void type_into_line(char c);

    input_feedback& feedback_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    dialogue::input_line line_;
    std::string pasted_;
    bool waiting_ = false;
    bool complete_ = false;
    bool paste_arrived_ = false;
    bool taking_paste_ = false;
    bool shut_down_ = false;
};

}  // namespace dialogue_window
