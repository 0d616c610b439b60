#pragma once

#include <QIcon>

// The module's own icon for the application and every window's title bar (where Qt would
// otherwise show its logo): the character 固 in white on a dark blue tile with a light yellow
// ledger line, drawn in the common title bar and task bar sizes.
QIcon ModuleIcon();
// Makes the module's icon the application's icon (every window without an icon of its own).
void InstallModuleIcon();
