#include "dialogue_window/console_input.hpp"

#include <algorithm>

namespace dialogue_window {

namespace {

// A pasted piece keeps room for the line end the record adds after it.
constexpr int pasted_piece_room = dialogue::input_line::tab_room;

// The carriage return and line feed that end a pasted line are not part of
// it; a stray carriage return inside a line is dropped as well, since drawn
// it would send the echo back to column 1.
std::string without_line_ends(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept.push_back(c);
    return kept;
}

}  // namespace

std::optional<std::string> console_input::read_line(int max_length)
{
    std::unique_lock lock(lock_);
    if (shut_down_)
        return std::nullopt;
    line_.reset();
    complete_ = false;
    paste_arrived_ = false;
    if (!pasted_.empty()) {
        if (auto whole_line = take_pasted_line(lock))
            return whole_line->substr(0, static_cast<std::size_t>(std::max(max_length, 0)));
    }
    set_waiting(true);
    for (;;) {
        changed_.wait(lock, [this] { return complete_ || paste_arrived_ || shut_down_; });
        if (shut_down_) {
            set_waiting(false);
            return std::nullopt;
        }
        if (complete_)
            break;
        paste_arrived_ = false;
        if (take_pasted_piece(lock))
            break;
    }
    set_waiting(false);
    const auto length = std::min(line_.length(), std::max(max_length, 0));
    return std::string(line_.text().substr(0, static_cast<std::size_t>(length)));
}

// A read that begins while pasted text is pending: the next pasted line is
// the answer at once.  When the pasted text runs out before a line feed, what
// there was becomes the start of the typed line and nullopt is returned.
std::optional<std::string> console_input::take_pasted_line(std::unique_lock<std::mutex>& lock)
{
    std::size_t end = 0;
    bool line_feed = false;
    while (end < pasted_.size() && end < pasted_line_limit && !line_feed)
        line_feed = pasted_[end++] == '\n';
    const bool ran_out = !line_feed && end == pasted_.size();
    auto piece = without_line_ends(std::string_view(pasted_).substr(0, end));
    pasted_.erase(0, end);
    if (ran_out) {
        piece.resize(std::min(piece.size(), static_cast<std::size_t>(dialogue::input_line::capacity)));
        for (char c : piece)
            line_.append(c);
    }
    taking_paste_ = true;
    lock.unlock();
    feedback_.echo_pasted(piece);
    feedback_.input_state_changed();
    lock.lock();
    taking_paste_ = false;
    if (ran_out)
        return std::nullopt;
    return piece;
}

// A read that waits when text is pasted: the next piece is appended to the
// line, tabs expanded.  Returns whether that completes the line.
bool console_input::take_pasted_piece(std::unique_lock<std::mutex>& lock)
{
    const auto room = static_cast<std::size_t>(std::max(pasted_piece_room - line_.length(), 0));
    std::size_t end = 0;
    bool line_feed = false;
    while (end < pasted_.size() && end < room && !line_feed)
        line_feed = pasted_[end++] == '\n';
    const bool complete = line_feed || end == room;
    std::string echo;
    for (char c : without_line_ends(std::string_view(pasted_).substr(0, end))) {
        // A tab becomes tab-width blanks, as far as the line has room for them.
        const int copies = c == '\t' ? dialogue::input_line::tab_width : 1;
        for (int k = 0; k < copies; ++k) {
            const char appended = c == '\t' ? ' ' : c;
            if (line_.append(appended))
                echo.push_back(appended);
        }
    }
    pasted_.erase(0, end);
    if (complete) {
        complete_ = true;
        waiting_ = false;
    }
    taking_paste_ = true;
    lock.unlock();
    feedback_.echo_pasted(echo);
    feedback_.input_state_changed();
    lock.lock();
    taking_paste_ = false;
    return complete;
}

void console_input::set_waiting(bool waiting)
{
    if (waiting_ == waiting)
        return;
    waiting_ = waiting;
    feedback_.input_state_changed();
}

void console_input::type_character(char c, bool paused)
{
    std::lock_guard lock(lock_);
    if (!waiting_ || taking_paste_ || paused) {
        feedback_.beep();
        return;
    }
    type_into_line(c);
}

void console_input::type_into_line(char c)
{
    switch (c) {
    case '\r':
    case '\n':
        complete_ = true;
        waiting_ = false;
        changed_.notify_all();
        feedback_.input_state_changed();
        return;
    case '\b':
        if (line_.length() == 0)
            return;
        if (!feedback_.erase_back()) {
            feedback_.beep();
            return;
        }
        line_.remove_last();
        return;
    case '\t': {
        const auto tab = line_.append_tab();
        if (tab.blanks_appended > 0)
            feedback_.echo_typed(std::string(static_cast<std::size_t>(tab.blanks_appended), ' '));
        if (tab.refused)
            feedback_.beep();
        return;
    }
    default:
        if (line_.append(c))
            feedback_.echo_typed(std::string_view(&c, 1));
        else
            feedback_.beep();
    }
}

void console_input::paste(std::string_view text)
{
    {
        std::lock_guard lock(lock_);
        if (shut_down_ || text.empty())
            return;
        pasted_ += text;
        if (waiting_) {
            paste_arrived_ = true;
            changed_.notify_all();
        }
    }
    feedback_.input_state_changed();
}

void console_input::clear_paste()
{
    {
        std::lock_guard lock(lock_);
        pasted_.clear();
        paste_arrived_ = false;
    }
    feedback_.input_state_changed();
}

void console_input::shut_down()
{
    std::lock_guard lock(lock_);
    shut_down_ = true;
    changed_.notify_all();
}

bool console_input::waiting() const
{
    std::lock_guard lock(lock_);
    return waiting_ && !taking_paste_;
}

bool console_input::paste_pending() const
{
    std::lock_guard lock(lock_);
    return !pasted_.empty();
}

}  // namespace dialogue_window
