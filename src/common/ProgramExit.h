#pragma once

#include <functional>
#include <stdexcept>

// Ending the program from anywhere (a start-up failure, the error report, the confirmed exit).
// The default flushes the settings and leaves the process; tests install a handler that throws
// ProgramEnded instead.
namespace ProgramExit {

struct ProgramEnded : std::runtime_error {
    explicit ProgramEnded(int code) : std::runtime_error("program ended"), code(code) {}
    int code;
};

using Handler = std::function<void(int code)>;
Handler setHandler(Handler handler);
[[noreturn]] void end(int code = 0);
// A handler for tests: throws ProgramEnded.
void throwOnEnd();

}  // namespace ProgramExit
