// The tau test calculator.  It takes no arguments and reads no configuration.

#include "dialogue/dialogue.hpp"
#include "dialogue/terminal_window.hpp"

#ifdef TESTETAU_HAS_WINDOW
#include "dialogue_window/window_program.hpp"
#endif

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

bool set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// A windowing system to open: an X or Wayland display, or a platform chosen
// explicitly for the toolkit (the tests use the offscreen one).
bool display_available()
{
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int run_on_terminal()
{
    // A reader that goes away must not kill the run mid-record.
    std::signal(SIGPIPE, SIG_IGN);
    dialogue::terminal_window terminal(stdin, stdout, stderr, !isatty(STDIN_FILENO));
    return dialogue::run_dialogue(terminal);
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef TESTETAU_HAS_WINDOW
    if (display_available())
        return dialogue_window::run_window_program(argc, argv);
#else
    (void)argc;
    (void)argv;
    (void)display_available;
#endif
    return run_on_terminal();
}
