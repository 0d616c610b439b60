#include "DemoData.h"

#include <QStringList>
#include <cmath>

#include "AssetData.h"
#include "HistoryData.h"
#include "ItemCatalogue.h"
#include "SqliteConnection.h"
#include "Values.h"

namespace DemoData {
namespace {

int company(SqliteConnection& db) {
    db.exec(QStringLiteral("INSERT INTO COMP (COMNO, COMNAM, COMSNM, COMUNI, COMBOS, COMTEL, "
                           "COMFAX, COMADR, MFOR) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
            {QStringLiteral("01"), QStringLiteral("晟嘉通科技股份有限公司"),
             QStringLiteral("晟嘉通"), QStringLiteral("53781206"), QStringLiteral("張家豪"),
             QStringLiteral("(02)2531-6688"), QStringLiteral("(02)2531-6699"),
             QStringLiteral("台北市中山區南京東路二段125號8樓"), QStringLiteral("2")});
    return 1;
}

int workstations(SqliteConnection& db) {
    for (int n = 1; n <= 20; ++n)
        db.exec(QStringLiteral("INSERT INTO LSTA (LCODE, LNAME) VALUES (?1, ?2)"),
                {QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')),
                 QStringLiteral("第%1號工作站").arg(n, 2, 10, QLatin1Char('0'))});
    return 20;
}

int departments(SqliteConnection& db) {
    const QStringList rows = {QStringLiteral("01 總經理室"), QStringLiteral("02 業務部"),
                              QStringLiteral("03 財務部"),   QStringLiteral("04 倉管部"),
                              QStringLiteral("05 資訊部"),   QStringLiteral("06 採購部"),
                              QStringLiteral("07 生產部"),   QStringLiteral("08 維修服務部"),
                              QStringLiteral("09 門市部")};
    for (const QString& row : rows)
        db.exec(QStringLiteral("INSERT INTO Depart25 (DEPARTNO, DENAME) VALUES (?1, ?2)"),
                {row.section(u' ', 0, 0), row.section(u' ', 1)});
    return int(rows.size());
}

int staff(SqliteConnection& db) {
    struct Person {
        const char* code;
        QString name;
        const char* user;
        const char* store;
        const char* department;
        const char* telephone;
        QList<int> rights;  // empty: every right
    };
    // The item inquiry's rights: 353 the purchase, purchase-return and vendor views, 57 costs
    // in the item list, 926 with the lot cost, 355 every salesman's sales lines (else one's
    // own), 1306 every department's (else one's own), 367 purchase prices, 645 to 648 the item
    // panel's prices, 934 every warehouse in the item list (else one's own). Each inquiry user
    // below lacks some of them.
    const QList<int> inquiry = {57, 353, 355, 367, 645, 646, 647, 648, 926, 934, 1306};
    const auto without = [&](const QList<int>& rights, const QList<int>& missing) {
        QList<int> held = rights;
        for (int right : inquiry)
            if (!missing.contains(right) && !held.contains(right)) held.append(right);
        return held;
    };
    const QList<Person> people = {
        {"S001", QStringLiteral("系統管理員"), "ADM", "01", "05", "235", {}},
        {"S002", QStringLiteral("李志明"), "LEE", "01", "02", "212", {960}},
        {"S003", QStringLiteral("王美華"), "WANG", "02", "03", "221",
         without({351, 355, 362, 363, 371, 372, 960, 961, 962}, {})},
        {"S004", QStringLiteral("陳建宏"), "CHEN", "02", "04", "241", {960, 961, 962}},
        {"S005", QStringLiteral("林淑芬"), "LIN", "02", "02", "215", without({}, {355})},
        {"S006", QStringLiteral("黃志偉"), "HUAN", "01", "02", "216", without({}, {1306})},
        {"S007", QStringLiteral("周佳穎"), "CHOU", "01", "04", "243",
         without({}, {57, 367, 645, 646, 647, 648, 926})},
        {"S008", QStringLiteral("蔡宗翰"), "TSAI", "03", "09", "301", without({}, {934})},
    };
    QString columns = QStringLiteral("SCODE, SNAME, SUSER, SSTOC, DEPARTNO, STEL");
    QString places = QStringLiteral("?1, ?2, ?3, ?4, ?5, ?6");
    for (int c = 0; c < 41; ++c) {
        columns += QStringLiteral(", R%1").arg(c, 2, 10, QLatin1Char('0'));
        places += QStringLiteral(", ?%1").arg(7 + c);
    }
    const QString sql = QStringLiteral("INSERT INTO SALE (%1) VALUES (%2)").arg(columns, places);
    for (const Person& p : people) {
        QVariantList values = {QLatin1String(p.code),       p.name,
                               QLatin1String(p.user),       QLatin1String(p.store),
                               QLatin1String(p.department), QLatin1String(p.telephone)};
        const auto masks = rightMasks(p.rights);
        for (std::int32_t mask : masks) values.append(p.rights.isEmpty() ? -1 : int(mask));
        db.exec(sql, values);
    }
    return int(people.size());
}

int notices(SqliteConnection& db, const QDate& today) {
    struct Notice {
        QDate begin;
        QDate end;
        const char* department;
        QString text;
        QString announcer;
        const char* user;
    };
    const QDate from = today.addYears(-2);
    const QDate to = today.addYears(5);
    const QList<Notice> list = {
        {from, to, "", QStringLiteral("固定資產盤點於每年十二月底辦理,請各部門事先整理財產標籤"),
         QStringLiteral("王美華"), "WANG"},
        {today.addYears(-1), to, "", QStringLiteral("請同仁每日下班前備份資料並關閉電腦電源"),
         QStringLiteral("系統管理員"), "ADM"},
        {from, to, "02", QStringLiteral("業務部:月底前請完成客戶應收帳款對帳"),
         QStringLiteral("李志明"), "LEE"},
        {from, to, "03", QStringLiteral("財務部:固定資產折舊請於每月五日前提列完成"),
         QStringLiteral("王美華"), "WANG"},
        {today, to, "", QStringLiteral("新版固定資產管理系統已上線,操作問題請洽資訊部分機235"),
         QStringLiteral("系統管理員"), "ADM"},
        {from, today, "", QStringLiteral("今日下午五點起進行資料庫維護,請提早存檔"),
         QStringLiteral("系統管理員"), "ADM"},
        {today.addYears(-3), today.addYears(-1), "",
         QStringLiteral("舊版進銷存系統停止使用,資料已轉入新系統"), QStringLiteral("系統管理員"),
         "ADM"},
        {today.addYears(1), to, "04", QStringLiteral("倉管部:新倉庫啟用後請改用新儲位編號"),
         QStringLiteral("陳建宏"), "CHEN"},
    };
    int seq = 0;
    for (const Notice& n : list)
        db.exec(QStringLiteral("INSERT INTO F8DATA (FSEQ, FDATE, FBEGD, FEND, FDEPNO, FDATA, "
                               "FSNAM, FUSER) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
                {QStringLiteral("%1").arg(++seq, 8, 10, QLatin1Char('0')), DateToRoc(n.begin),
                 DateToRoc(n.begin), DateToRoc(n.end), QLatin1String(n.department), n.text,
                 n.announcer, QLatin1String(n.user)});
    return seq;
}
}  // namespace

int fill(SqliteConnection& db, const QDate& today) {
    int rows = 0;
    db.transaction([&] {
        if (isEmpty(db, "COMP")) rows += company(db);
        if (isEmpty(db, "LSTA")) rows += workstations(db);
        rows += fillPeople(db);
        if (isEmpty(db, "F8DATA")) rows += notices(db, today);
        rows += ItemCatalogue::fillMasters(db, today);
        rows += AssetData::fill(db, today);
        rows += int(HistoryData::fillDemo(db, today));
    });
    return rows;
}

int fillPeople(SqliteConnection& db) {
    int rows = 0;
    if (isEmpty(db, "Depart25")) rows += departments(db);
    if (isEmpty(db, "SALE")) rows += staff(db);
    return rows;
}

bool isEmpty(SqliteConnection& db, const char* table) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toLongLong() ==
           0;
}

double cents(double value) { return std::round(value * 100) / 100; }

std::array<std::int32_t, 41> rightMasks(const QList<int>& rights) {
    std::array<std::uint32_t, 41> bits{};
    for (int right : rights)
        if (right >= 0 && right < 41 * 32) bits[right / 32] |= std::uint32_t(1) << (right % 32);
    std::array<std::int32_t, 41> masks{};
    for (int c = 0; c < 41; ++c) masks[c] = std::int32_t(bits[c]);
    return masks;
}
}  // namespace DemoData
