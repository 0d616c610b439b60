#pragma once

class ZqMDI;

// Fills the window registry for a main window: the menu's windows (one of each, brought forward
// when open, centred when new), the printer choice and the suite-wide function keys. The
// program calls it once at start-up; tests drive the same windows through it.
void RegisterModuleWindows(ZqMDI& mdi);
