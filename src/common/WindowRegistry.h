#pragma once

#include <QString>
#include <Qt>
#include <functional>

// Windows of one subsystem never include another's. The program fills this registry at
// start-up: openers by name ("assets", "summary", "detail", "printer", "inquiry", "notices")
// and the suite-wide function-key handler, which every window calls with the keys it does not
// use itself.
namespace WindowRegistry {

using Opener = std::function<void()>;
using KeyHandler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

void setOpener(const QString& name, Opener opener);
bool hasOpener(const QString& name);
// Opens (or brings forward) the named window; false when nothing is registered under the name.
bool open(const QString& name);

void setKeyHandler(KeyHandler handler);
// Hands a key to the suite-wide handler (HandleFunctionKey).
void forwardKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

void clear();

}  // namespace WindowRegistry
