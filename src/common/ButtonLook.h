#pragma once

class QPushButton;

// The focused-state and normal-state look of the suite's command buttons: a focused button
// shows the highlight picture and an 11-point caption, a normal one a 9-point caption.
void InstallButtonLook(QPushButton* button);
