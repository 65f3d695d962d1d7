#pragma once
// The one fixed dialogue of the tau test, from the banner to the stop.

#include "dialogue/console_window.hpp"

#include <string_view>

namespace dialogue {

// Runs the whole dialogue in the window on the calling (worker) thread and
// returns the process exit code: 0 after the stop, 1 after a run-time error.
// Connected units are closed before it returns.
int run_dialogue(console_window& window);

// The steps, usable once run_dialogue has attached the window.
void main_program();
void prepare_run();
void stop_run();
void finish_run(int exit_code);

// Window operations of the program, routed to the attached window.
std::int32_t set_window_state(std::int32_t unit, const window_request& request);
std::int32_t set_background_rgb(std::uint32_t rgb);
void clear_window(int area);

}  // namespace dialogue
