#pragma once

class QLineEdit;

// Small helpers of the report criteria windows: exchanging a range's two ends and the shortcut
// keys of the date fields. Dates are ROC texts yyy.mm.dd; today comes from the Clock.

// Exchanges the texts of two boxes.
void SwapTexts(QLineEdit* boxA, QLineEdit* boxB);

// A "from" date field's keys: F2 the first of this month, F3 the first of last month, F4 the
// first of this year, F5 the first of last year. After any of them the focus moves on (a Tab
// is sent to the box). Returns whether the key was one of them.
bool FromDateKeys(int keyCode, QLineEdit* box);
// A "to" date field's keys: F2 today, F3 the last day of last month, F4 the last day of last
// year; then a Tab. Returns whether the key was one of them.
bool ToDateKeys(int keyCode, QLineEdit* box);
