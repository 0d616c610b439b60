#include "SuiteDatabase.h"

#include <QHash>

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

QString field(const QString& connectionText, const QString& name) {
    for (const QString& part : connectionText.split(';')) {
        const qsizetype eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return {};
}
}  // namespace Connections
