#pragma once

#include <QString>

class QLabel;
class QObject;

// The main window's one-line status text. Every focused control with a status tip (its help
// text) shows it there, and clears it when it loses the focus; the print engine writes its
// progress there too.
namespace StatusText {
void set(const QString& text);
void clear();
QString text();
// The main window's label shows the text from now on, for as long as the label exists; nothing
// else needs to know where it goes.
void showIn(QLabel* label);
// An event filter for the application that does the focus rule for every control at once.
QObject* createFocusFilter(QObject* parent);
}  // namespace StatusText
