#pragma once
// The one console connection shared by unit 0 and the console unit: its line
// state flags, its lock, and the port that shows the text.

#include "records/console_port.hpp"

#include <mutex>

namespace records {

class console_connection {
public:
    console_connection() = default;
    console_connection(const console_connection&) = delete;
    console_connection& operator=(const console_connection&) = delete;

    // Connects the window (or the terminal); nullptr detaches it.  Resets the
    // line state, as at the start of a run.
    void attach(console_port* port);
    console_port* port() const noexcept { return port_; }

    // Writes through the port; -1 when nothing is attached.
    int write_text(std::string_view text);

    // Held by every write statement from beginning to end, and by the stop.
    std::recursive_mutex lock;

    bool line_open = false;         // the last record is shown, its line not ended
    bool line_end_written = false;  // that line end was written ahead of time
    bool continue_line = false;     // a backslash left the line open for the next record

    // A line counts as open for carriage control when its end is still owed.
    bool line_is_open() const noexcept { return line_open && !line_end_written; }

private:
    console_port* port_ = nullptr;
};

// The process's console connection.
console_connection& console();

}  // namespace records
