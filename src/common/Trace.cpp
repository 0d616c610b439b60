#include "Trace.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace Trace {
namespace {
QString& traceFile() {
    static QString file = qEnvironmentVariable("ZQFU_TRACE");
    return file;
}

// One line per event, appended and closed at once so that a program that ends abruptly
// (as it does after a database error) leaves a complete trace.
void append(const QJsonObject& event) {
    QFile file(traceFile());
    if (!file.open(QIODevice::Append | QIODevice::WriteOnly)) return;
    file.write(QJsonDocument(event).toJson(QJsonDocument::Compact));
    file.write("\n");
}
}  // namespace

bool enabled() { return !traceFile().isEmpty(); }

void sql(const QString& place, const QString& text, qint64 ms) {
    if (!enabled()) return;
    append({{"t", "sql"}, {"place", place}, {"text", text}, {"ms", ms}});
}

void message(const QString& text, const QString& buttons, const QString& answer) {
    if (!enabled()) return;
    append({{"t", "msg"}, {"text", text}, {"buttons", buttons}, {"answer", answer}});
}

void reload() { traceFile() = qEnvironmentVariable("ZQFU_TRACE"); }
}  // namespace Trace
