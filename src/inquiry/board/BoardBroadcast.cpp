#include "BoardBroadcast.h"

#include "DataSource.h"
#include "DbAccess.h"
#include "DbError.h"
#include "SuiteDatabase.h"

namespace BoardBroadcast {
namespace {
const QString Place = QStringLiteral("佈告欄");

// True when the company took the notice.
bool sendTo(const CompanyGroup::Company& c, const QString& user, const BoardRules::Fields& fields,
            const Progress& progress) {
    DataSource source;
    source.connectionText = BoardRules::connectionText(c);
    source.connectionTimeout = c.connectTimeout;
    try {
        progress(QStringLiteral("正在測通 ") + c.name + QStringLiteral(" 的資料庫伺服器....."));
        Connections::open(source.connectionText);
        source.commandText = BoardRules::ConnectionTest;
        source.refresh(Place);
        progress(QStringLiteral("已經連上 ") + c.name + QStringLiteral(" 的資料庫伺服器....."));
        progress(QStringLiteral("正在處理 ") + c.name + QStringLiteral(" 的佈告欄資料....."));
        source.commandText = BoardRules::addCall(user, fields);
        source.refresh(Place);
    } catch (const DbError&) {
        return false;
    }
    // The suite's procedure answers nothing when it is done; ours answers status 0.
    const ProcedureAnswer answer = ReadAnswer(source.recordset());
    return answer.status <= 0;
}
}  // namespace

int send(const QList<CompanyGroup::Company>& companies, const QString& user,
         const BoardRules::Fields& fields, const Progress& progress) {
    int done = 0;
    for (const CompanyGroup::Company& c : companies) {
        const bool ok = sendTo(c, user, fields, progress);
        progress(c.shortName +
                 (ok ? QStringLiteral(" 佈告欄更新 完成") : QStringLiteral(" 佈告欄更新 失敗")));
        progress(c.shortName + QStringLiteral(" 的佈告欄資料處理完成....."));
        if (ok) ++done;
    }
    return done;
}

QString summary(int done) { return QStringLiteral("共完成了 %1 家公司之佈告欄更新").arg(done); }
}  // namespace BoardBroadcast
