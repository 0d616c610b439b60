#pragma once

#include <QString>
#include <functional>

class QObject;

// The main window's one-line status text. Every focused control with a status tip (its help
// text) shows it there, and clears it when it loses the focus; the print engine writes its
// progress there too.
namespace StatusText {
void set(const QString& text);
void clear();
QString text();
// The main window shows the text; nothing else needs to know where it goes.
void setSink(std::function<void(const QString&)> sink);
// An event filter for the application that does the focus rule for every control at once.
QObject* createFocusFilter(QObject* parent);
}  // namespace StatusText
