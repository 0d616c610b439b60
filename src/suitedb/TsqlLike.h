#pragma once

#include <QString>

// LIKE as the suite's server matches it: % any run of characters, _ any one character,
// [abc] one of, [a-c] a range, [^a] anything but; letters without regard to case.
bool TsqlLike(const QString& value, const QString& pattern);
