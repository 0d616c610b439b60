#pragma once

#include <QString>

// With ZQFU_TRACE=<file> every command text and every message is appended to the file, one
// JSON object per line, so that support staff can see exactly what a workstation did.
namespace Trace {
bool enabled();
void sql(const QString& place, const QString& text, qint64 ms);
void message(const QString& text, const QString& buttons, const QString& answer);
// Re-reads ZQFU_TRACE (tests change it).
void reload();
}  // namespace Trace
