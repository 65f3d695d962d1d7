#pragma once
// The program with its Qt window: the frame, the console window and the worker
// thread that runs the dialogue.  Returns the process exit code.

namespace dialogue_window {

int run_window_program(int argc, char** argv);

}  // namespace dialogue_window
