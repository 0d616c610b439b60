#pragma once

#include <Qt>

// The one place of the suite-wide function keys. Every window hands it the key-down events it
// does not use itself (through WindowRegistry::forwardKey):
//   F6  stores the current item code for the suite's picture viewer ("Zq2000"/"Picture"/"Any");
//   F7  opens the printer selection, or says "未安裝印表機!" when there is no printer;
//   F8  opens the item history inquiry (with an open session);
//   F9  does nothing in this module;
//   F10 does nothing: the suite designates no window for it in this module.
void HandleFunctionKey(int key, Qt::KeyboardModifiers modifiers);
