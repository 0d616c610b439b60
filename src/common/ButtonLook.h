#pragma once

class QPushButton;

// The focused-state and normal-state look of the suite's command buttons: a focused button
// has a light yellow face and a bold 11-point caption, a normal one its own face and a 9-point
// caption. The look depends only on whether the button has the focus.
void InstallButtonLook(QPushButton* button);
