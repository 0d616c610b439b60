#include "DbAccess.h"

#include <QCursor>
#include <QGuiApplication>

#include "DataSource.h"
#include "DbError.h"
#include "Dialogs.h"
#include "ProgramExit.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "SuiteDatabase.h"
#include "UserSettings.h"

namespace {
struct LastError {
    std::uint32_t number = 0;
    QString description;
};
LastError& lastError() {
    static LastError e;
    return e;
}
}  // namespace

QString ConnectionText() {
    // Each value quoted where it needs to be: a ';' in the password must not end it or add a
    // field of its own.
    const Session& s = Session::current();
    return QStringLiteral("Provider=MSDASQL.1;Password=") + Connections::quote(s.dbPassword) +
           QStringLiteral(";Persist Security Info=") + Connections::quote(s.persistSecurity) +
           QStringLiteral(";User ID=") + Connections::quote(s.dbUser) +
           QStringLiteral(";Data Source=zqpro;Initial Catalog=") + Connections::quote(s.dbName);
}

void SetConnection(DataSource& source) {
    source.connectionText = ConnectionText();
    source.commandTimeout = 0;
    source.connectionTimeout = 0;
    source.visible = false;
}

void BusyCursorOn() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void BusyCursorOff() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void RefreshData(DataSource& source, const QString& place) {
    BusyCursorOn();
    try {
        source.refresh(place);
    } catch (const DbError& error) {
        BusyCursorOff();
        SetLastError(error.number(), error.description());
        Session::current().lastDbError = error.description();
        ReportDbError(place + QStringLiteral(" 與資料庫連線取資料時"));
    }
    BusyCursorOff();
}

void ReadTogether(const DataSource& source, const std::function<void()>& reads) {
    std::shared_ptr<SuiteDatabase> db;
    try {
        db = Connections::open(source.connectionText);
    } catch (const DbError&) {
        // The reads meet the same error and report it as any read does.
        return reads();
    }
    db->readTogether(reads);
}

bool HasRecords(DataSource& source) {
    if (source.commandText.isEmpty()) {
        Dialogs::showMessage(QStringLiteral("Ado物件尚未指定任何查詢內容"));
        return false;
    }
    return source.isOpen() && source.recordset().recordCount() > 0;
}

bool HasCurrentRow(const Recordset& recordset) { return !recordset.bof() && !recordset.eof(); }

ProcedureAnswer ReadAnswer(const Recordset& rs) {
    if (!HasCurrentRow(rs) || rs.fieldCount() < 2) return {};
    bool ok = false;
    const int status = rs.field(1).toString().trimmed().toInt(&ok);
    return ProcedureAnswer{rs.field(0).toString(), ok ? status : -1};
}

bool CompStr(const QString& a, const QString& b) {
    DataSource& source = SharedSources::comparison();
    source.commandText = QStringLiteral("IF (Select ") + SqlLiteral(a) +
                         QStringLiteral(") > (Select ") + SqlLiteral(b) +
                         QStringLiteral(") Begin Select 'T' End Else Begin Select 'F' End");
    RefreshData(source, QStringLiteral("CompStr-Error"));
    const Recordset& rs = source.recordset();
    if (!HasCurrentRow(rs)) return false;
    return (' ' + rs.field(0).toString()).trimmed() == QLatin1String("T");
}

void SetLastError(std::uint32_t number, const QString& description) {
    lastError() = LastError{number, description};
}

QString DbErrorMeaning(std::uint32_t number) {
    switch (number) {
        case 0x80040E4D:
            return QStringLiteral("登錄 SQL 資料庫 ID 或 密碼錯誤");
        case 0x80004005:
            return QStringLiteral("網路斷線 或 SQL 資料庫沒啟動 或 SQL 授權人數不足");
        case 0x80040E37:
            return QStringLiteral("SQL 資料庫的資料表不存在");
        case 0x80040E31:
            return QStringLiteral("資料庫處理的時間過短請重新設定");
        case 0x80040E14:
            return QStringLiteral("SQL 資料庫的 SP 程式不存在");
        case 0x80040E0C:
            return QStringLiteral("Ado 的程式沒指定內容");
        default:
            return {};
    }
}

QString DbErrorReportText(const QString& place) {
    const LastError& e = lastError();
    const QString breakTwice = QStringLiteral("\r\n\r\n");
    // The number in decimal as the runtime shows it: a signed 32-bit value.
    const QString number = QString::number(qint32(e.number));
    const QStringList parts = {
        QStringLiteral("錯誤發生位置：") + place,
        QStringLiteral("錯誤代碼：") + number,
        QStringLiteral("錯誤說明：") + e.description,
        QStringLiteral("錯誤敘述：") + DbErrorMeaning(e.number),
        QStringLiteral("請將本訊息畫面抄錄下來,並來電 Q.V.K.晟嘉通 客戶服務部 (02)2999-8888"),
        QStringLiteral("並請記得留下您的聯絡電話及大名,以方便我們與您聯絡"),
        QStringLiteral("按下確定後會自動執行下載程式"),
    };
    return parts.join(breakTwice);
}

void ReportDbError(const QString& place) {
    BusyCursorOff();
    Dialogs::showMessage(DbErrorReportText(place));
    UserSettings::save(QStringLiteral("Zq2000"), QStringLiteral("OpenId"), QStringLiteral("FU"),
                       QStringLiteral("0"));
    ProgramExit::end(1);
}

namespace SharedSources {
DataSource& general() {
    static DataSource s;
    return s;
}
DataSource& comparison() {
    static DataSource s;
    return s;
}
DataSource& spare() {
    static DataSource s;
    return s;
}
}  // namespace SharedSources
