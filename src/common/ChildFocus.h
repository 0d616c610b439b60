#pragma once

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Where the keyboard goes when a child window of the main window closes. The user works with
// the keyboard only, so some control must always have the focus.

// The child window (the widget inside an MDI frame) that holds a control; null outside them.
QWidget* ChildWindowOf(QWidget* control);

// The control of a window that takes the keyboard: the one that had the focus last while it can
// still take it (enabled, shown, focusable), else the first such control in the window's tab
// order; null when the window has none (the notice line).
QWidget* KeyboardControl(QWidget* window);

// After the frame `closed` of an MDI area closed: the main window is activated and the keyboard
// goes to `preferred` (the control it came from) while that can still take it, else to the
// child window that was active before (the menu, or the window the closed one was opened
// over), on its keyboard control. Windows without a control are passed over.
void FocusNextChild(QMdiArea* area, const QMdiSubWindow* closed, QWidget* preferred = nullptr);
