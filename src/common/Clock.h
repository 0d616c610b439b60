#pragma once

#include <QDate>
#include <QDateTime>

// "Now" and "today" for the whole program; tests fix them.
namespace Clock {
QDateTime now();
QDate today();
void setFixed(const QDateTime& moment);  // an invalid moment returns to the system clock
}  // namespace Clock
