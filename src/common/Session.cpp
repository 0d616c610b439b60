#include "Session.h"

Session& Session::current() {
    static Session session;
    return session;
}

void Session::reset() { current() = Session{}; }
