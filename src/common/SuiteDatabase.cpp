#include "SuiteDatabase.h"

#include <QHash>
#include <algorithm>

#include "DbError.h"

namespace Connections {
namespace {
struct State {
    Factory factory;
    QHash<QString, std::shared_ptr<SuiteDatabase>> open;
};
State& state() {
    static State s;
    return s;
}
}  // namespace

void setFactory(Factory factory) {
    state().factory = std::move(factory);
    state().open.clear();
}

std::shared_ptr<SuiteDatabase> open(const QString& connectionText) {
    auto& s = state();
    if (auto it = s.open.constFind(connectionText); it != s.open.constEnd()) return *it;
    if (!s.factory)
        throw DbError(DbErrorNumber::NoConnection, QStringLiteral("沒有設定資料庫連線"));
    auto db = s.factory(connectionText);
    if (!db) throw DbError(DbErrorNumber::NoConnection, QStringLiteral("無法連線到資料庫"));
    s.open.insert(connectionText, db);
    return db;
}

void closeAll() { state().open.clear(); }

namespace {
bool isSyntax(QChar c) {
    return c == u';' || c == u'=' || c == u'{' || c == u'}' || c == u'\'' || c == u'"';
}

// The value that starts at i, just after its '='; i moves past the ';' that ends it.
QString readValue(const QString& text, qsizetype& i) {
    qsizetype start = i;
    while (start < text.size() && text[start].isSpace()) ++start;
    const QChar open = start < text.size() ? text[start] : QChar();
    if (open == u'{' || open == u'"' || open == u'\'') {
        const QChar close = open == u'{' ? QChar(u'}') : open;
        QString value;
        qsizetype j = start + 1;
        for (; j < text.size(); ++j) {
            if (text[j] == close) {
                if (j + 1 < text.size() && text[j + 1] == close) {
                    value += close;
                    ++j;
                    continue;
                }
                break;
            }
            value += text[j];
        }
        // Whatever stands between the closing mark and the next ';' belongs to no value.
        const qsizetype end = text.indexOf(u';', j);
        i = end < 0 ? text.size() : end + 1;
        return value;
    }
    const qsizetype end = text.indexOf(u';', i);
    const QString value = text.mid(i, end < 0 ? -1 : end - i);
    i = end < 0 ? text.size() : end + 1;
    return value;
}
}  // namespace

QString quote(const QString& value) {
    const bool plain = std::none_of(value.begin(), value.end(), isSyntax) &&
                       (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
    if (plain) return value;
    return u'{' + QString(value).replace(u'}', QStringLiteral("}}")) + u'}';
}

QString field(const QString& connectionText, const QString& name) {
    qsizetype i = 0;
    while (i < connectionText.size()) {
        const qsizetype eq = connectionText.indexOf(u'=', i);
        if (eq < 0) break;
        const qsizetype semicolon = connectionText.indexOf(u';', i);
        if (semicolon >= 0 && semicolon < eq) {  // a part without a value
            i = semicolon + 1;
            continue;
        }
        const QString key = connectionText.mid(i, eq - i).trimmed();
        i = eq + 1;
        const QString value = readValue(connectionText, i);
        if (!key.isEmpty() && key.compare(name, Qt::CaseInsensitive) == 0) return value;
    }
    return {};
}
}  // namespace Connections
