#pragma once
// What the dialogue needs of the window it runs in.  The Qt window and the
// terminal front end implement it; the dialogue knows nothing of either.
// Every call comes from the worker thread that runs the dialogue.

#include "records/console_port.hpp"
#include "records/units.hpp"

#include <cstdint>
#include <limits>
#include <string_view>

namespace dialogue {

// The record that set_window_state takes.
struct window_request {
    std::int16_t type = 0;  // 1 minimise, 2 maximise, 3 normal size, 4 position and size
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t height = 0;
    std::int16_t width = 0;
};

// The reserved unit number that names the frame window in set_window_state.
inline constexpr std::int32_t frame_unit = std::numeric_limits<std::int32_t>::min();

enum class closing_answer { yes, no };

// Unit 0 and the console unit name the console window in set_window_state.
inline bool names_console_window(std::int32_t unit)
{
    return unit == 0 || unit == records::console_unit;
}

class console_window : public records::console_port {
public:
    // 0 on success, -1 for a unit without a window or a type outside 1..4.
    virtual std::int32_t set_window_state(std::int32_t unit, const window_request& request) = 0;
    // Returns the previous background colour as RGB (red in the low byte).
    virtual std::int32_t set_background_rgb(std::uint32_t rgb) = 0;
    // Fills the console with the background colour and homes the cursor
    // (area 0).  The console connection's line flags are the caller's business.
    virtual void clear_console(int area) = 0;

    // The closing question "Program Terminated with exit code N\nExit Window?",
    // captioned with the frame title, No as default.
    virtual closing_answer ask_closing_question(std::string_view text) = 0;
    // The task-modal run-time error box (error icon, OK); returns after OK.
    virtual void show_run_time_error(std::string_view caption, std::string_view text) = 0;
    // The exit code the process ends with when the user closes the window.
    virtual void set_exit_code_on_close(int exit_code) = 0;
    // Yes in the closing question: the window closes and the process ends
    // with exit_code once the dialogue has returned.
    virtual void close_window(int exit_code) = 0;
    // No in the closing question: the worker waits here until the user
    // closes the window; never returns.
    [[noreturn]] virtual void wait_until_closed() = 0;
};

}  // namespace dialogue
