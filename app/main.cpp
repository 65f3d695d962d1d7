// The tau test calculator.  It takes no arguments and reads no configuration.

#include "dialogue/dialogue.hpp"
#include "dialogue/terminal_window.hpp"

#ifdef TESTETAU_HAS_WINDOW
#include "dialogue_window/window_program.hpp"

#include <xcb/xcb.h>
#endif

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

#ifdef TESTETAU_HAS_WINDOW
bool set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// An X display that answers.  A DISPLAY naming a server that is gone would
// make the toolkit abort at start; the terminal serves instead.
bool x_display_answers()
{
    if (!set("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// A windowing system to open: an X display, or a platform chosen explicitly
// for the toolkit (the tests use the offscreen one).
bool display_available()
{
    return set("QT_QPA_PLATFORM") || x_display_answers();
}
#endif

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
#endif
    return run_on_terminal();
}
