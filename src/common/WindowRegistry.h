#pragma once

#include <QString>
#include <Qt>
#include <functional>

class QWidget;

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
// The control that had the keyboard before is remembered for the child window that opened.
bool open(const QString& name);
// The control that had the keyboard when a child window was opened through open(), where the
// keyboard goes back when it closes; null when it is gone or the window was not opened so.
QWidget* openedFrom(const QWidget* window);

void setKeyHandler(KeyHandler handler);
// Hands a key to the suite-wide handler (HandleFunctionKey).
void forwardKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

void clear();

}  // namespace WindowRegistry
