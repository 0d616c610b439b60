#include "ProgramExit.h"

#include <QCoreApplication>
#include <cstdlib>

namespace ProgramExit {
namespace {
Handler& handler() {
    static Handler h;
    return h;
}
}  // namespace

Handler setHandler(Handler h) {
    Handler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

void end(int code) {
    if (handler()) handler()(code);
    // Settings are written through at once, so nothing is left to flush but the streams.
    std::exit(code);
}

void throwOnEnd() {
    setHandler([](int code) { throw ProgramEnded(code); });
}
}  // namespace ProgramExit
