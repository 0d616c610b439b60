#include "AssetData.h"

#include <QStringList>
#include <cmath>

#include "AssetSchedule.h"
#include "DemoData.h"
#include "ItemCatalogue.h"
#include "SqliteConnection.h"
#include "Values.h"

namespace AssetData {
namespace {
using DemoData::cents;
using DemoData::isEmpty;
using ItemCatalogue::mix;

const char* const Accounts[][2] = {
    {"1111", "現金"},
    {"1112", "零用金"},
    {"1113", "銀行存款"},
    {"1131", "應收票據"},
    {"1141", "應收帳款"},
    {"1231", "商品存貨"},
    {"1261", "預付費用"},
    {"1411", "土地"},
    {"1431", "房屋及建築"},
    {"1432", "累計折舊-房屋及建築"},
    {"1441", "機器設備"},
    {"1442", "累計折舊-機器設備"},
    {"1451", "運輸設備"},
    {"1452", "累計折舊-運輸設備"},
    {"1461", "辦公設備"},
    {"1462", "累計折舊-辦公設備"},
    {"1471", "租賃改良"},
    {"1472", "累計折舊-租賃改良"},
    {"1481", "電腦通訊設備"},
    {"1482", "累計折舊-電腦通訊設備"},
    {"1491", "未完工程"},
    {"2111", "銀行借款"},
    {"2131", "應付票據"},
    {"2141", "應付帳款"},
    {"2171", "應付費用"},
    {"2181", "應付營業稅"},
    {"3111", "普通股股本"},
    {"3351", "累積盈虧"},
    {"4111", "銷貨收入"},
    {"4171", "銷貨退回"},
    {"4181", "銷貨折讓"},
    {"5111", "銷貨成本"},
    {"5125", "製造費用-折舊"},
    {"6111", "薪資支出"},
    {"6112", "租金支出"},
    {"6113", "文具用品"},
    {"6114", "旅費"},
    {"6115", "運費"},
    {"6116", "郵電費"},
    {"6117", "修繕費"},
    {"6118", "廣告費"},
    {"6119", "水電瓦斯費"},
    {"6120", "保險費"},
    {"6123", "稅捐"},
    {"6125", "折舊費用"},
    {"6126", "各項攤提"},
    {"6134", "伙食費"},
    {"6135", "職工福利"},
    {"7111", "利息收入"},
    {"7151", "處分資產利益"},
    {"7511", "利息支出"},
    {"7531", "處分資產損失"},
    {"144101", "機器設備-生產線"},
    {"146101", "辦公設備-空調"},
};

struct Group {
    const char* prefix;
    int count;
    const char* asset;
    const char* expense;
    const char* accumulated;
    int months;
    int lowCost;  // in hundreds
    int highCost;
    int residualPercent;
    int maxAgeMonths;
    QList<const char*> departments;
    QList<const char*> names;
};

const QList<Group>& groups() {
    static const QList<Group> list = {
        {"BD",
         3,
         "1431",
         "6125",
         "1432",
         600,
         80000,
         250000,
         5,
         180,
         {"01", "02", "03", "07"},
         {"總公司辦公大樓", "桃園倉庫廠房", "台中門市店面"}},
        {"MC",
         25,
         "1441",
         "5125",
         "1442",
         120,
         3000,
         30000,
         10,
         96,
         {"07", "07", "08", "04"},
         {"CNC車床", "雷射切割機", "空壓機", "堆高機", "自動包裝機", "測試治具", "烤箱", "鑽床",
          "油壓機", "輸送帶"}},
        {"TR",
         8,
         "1451",
         "6125",
         "1452",
         60,
         6000,
         15000,
         10,
         96,
         {"02", "04", "06"},
         {"業務用小客車", "三噸半貨車", "廂型車", "機車"}},
        {"OF",
         40,
         "1461",
         "6125",
         "1462",
         60,
         150,
         2000,
         0,
         96,
         {"01", "02", "03", "04", "05", "06", "09"},
         {"分離式冷氣機", "影印機", "辦公桌椅組", "檔案櫃", "會議桌", "碎紙機", "投影機",
          "電話總機", "保險櫃", "飲水機"}},
        {"IM",
         6,
         "1471",
         "6125",
         "1472",
         60,
         1000,
         8000,
         0,
         72,
         {"01", "09", "02"},
         {"門市裝潢工程", "辦公室隔間工程", "倉庫照明改善", "招牌工程"}},
        {"PC",
         38,
         "1481",
         "6125",
         "1482",
         36,
         150,
         1500,
         0,
         60,
         {"01", "02", "03", "04", "05", "06", "08", "09"},
         {"伺服器", "筆記型電腦", "桌上型電腦", "網路交換器", "防火牆", "儲存設備", "POS收銀機",
          "條碼印表機", "平板電腦"}},
    };
    return list;
}

const QList<QList<int>> Shares = {{100}, {100}, {60, 40}, {70, 30}, {50, 30, 20}, {40, 30, 30}};

QDate monthEnd(const QDate& day) { return QDate(day.year(), day.month(), day.daysInMonth()); }

int accounts(SqliteConnection& db) {
    for (const auto& row : Accounts)
        db.exec(QStringLiteral("INSERT INTO Acco (ACODE, ANOTE) VALUES (?1, ?2)"),
                {QLatin1String(row[0]), QString::fromUtf8(row[1])});
    return int(std::size(Accounts));
}

struct AssetRow {
    QString code;
    QDate acquired;
    QDate scheduleFrom;  // the month of the first scheduled line
    double cost = 0, residual = 0, amortised = 0, perPeriod = 0;
    int months = 0;
    QDate sold;  // invalid when not sold
    bool reviewed = false;
};

// The schedule (and postings up to the closing date or the sale); returns the amount posted.
double schedule(SqliteConnection& db, const AssetRow& a, const QDate& closing, int& rows) {
    const QString sql =
        QStringLiteral("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES (?1, ?2, ?3, ?4)");
    const double total = a.cost - a.residual - a.amortised;
    double posted = 0;
    const QList<double> amounts = AssetSchedule::spread(total, a.months);
    QDate day = monthEnd(a.scheduleFrom);
    for (int m = 1; m <= a.months; ++m, day = monthEnd(day.addDays(1))) {
        // Nothing is scheduled after a sale.
        if (a.sold.isValid() && day > a.sold) break;
        const double amount = amounts[m - 1];
        const QString date = DateToRoc(day);
        db.exec(sql, {a.code, date, amount, QString()});
        ++rows;
        if (day <= closing) {
            db.exec(sql, {a.code, date, amount, QStringLiteral("JV%1").arg(date).remove(u'.')});
            posted += amount;
            ++rows;
        }
    }
    return cents(posted);
}

int split(SqliteConnection& db, const AssetRow& a, const Group& g, std::uint64_t h) {
    const QList<int>& shares = Shares[int(h % Shares.size())];
    QStringList used;
    for (int i = 0; i < shares.size(); ++i) {
        QString department;
        for (int k = 0; department.isEmpty() || used.contains(department); ++k)
            department = QLatin1String(
                g.departments[int(((h >> (8 + 4 * i)) + quint64(k)) % g.departments.size())]);
        used.append(department);
        db.exec(QStringLiteral("INSERT INTO Assetd (ACODE, ASEQ, ADENO, APERC, ATOTA, ABACK) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
                {a.code, i + 1, department, double(shares[i]), cents(shares[i] * a.perPeriod / 100),
                 i == 0 ? QStringLiteral("主要使用單位") : QString()});
    }
    return int(used.size());
}

int assets(SqliteConnection& db, const QDate& today, const QDate& closing) {
    int rows = 0;
    int serial = 0;
    const QDate systemStart = QDate(today.year() - 3, 1, 1);
    for (const Group& g : groups()) {
        for (int n = 0; n < g.count; ++n, ++serial) {
            const std::uint64_t h = mix(0xA55E7, std::uint64_t(serial));
            AssetRow a;
            a.code = QStringLiteral("%1%2")
                         .arg(QLatin1String(g.prefix))
                         .arg(n + 1, 4, 10, QLatin1Char('0'));
            // Every tenth asset was bought this month; the others over the group's span.
            const int age = serial % 10 == 9 ? 0 : int(1 + (h >> 4) % g.maxAgeMonths);
            a.acquired = today.addMonths(-age).addDays(-int((h >> 12) % 20));
            if (a.acquired > today) a.acquired = today;
            a.scheduleFrom = a.acquired;
            a.cost =
                100.0 * (g.lowCost + double((h >> 20) % 1000) / 1000 * (g.highCost - g.lowCost));
            a.cost = std::round(a.cost / 100) * 100;
            a.residual = std::round(a.cost * g.residualPercent / 100 / 100) * 100;
            a.months = g.months;
            // Assets older than the system were brought in with what had been amortised.
            if (a.acquired < systemStart) {
                const int before =
                    std::min(g.months - 1, (systemStart.year() - a.acquired.year()) * 12 +
                                               systemStart.month() - a.acquired.month());
                a.amortised = cents((a.cost - a.residual) / g.months * before);
                a.months = g.months - before;
                a.scheduleFrom = systemStart;
            }
            a.perPeriod = cents((a.cost - a.residual - a.amortised) / a.months);
            if ((h >> 40) % 10 == 0 && age > 6)
                a.sold = a.acquired.addMonths(int(1 + (h >> 44) % std::max(1, age - 3)));
            a.reviewed = a.sold.isValid() || (h >> 48) % 10 < 7;

            const double posted = schedule(db, a, closing, rows);
            const auto& person = ItemCatalogue::salesmen()[int((h >> 52) % 4)];
            const QString name = QString::fromUtf8(g.names[int((h >> 56) % g.names.size())]);
            db.exec(
                QStringLiteral("INSERT INTO Asset (ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, "
                               "ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ATOT4, ATOT5, ASELL, ADAT2, "
                               "AUSE2, AUSE3, ATIM2) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
                               "?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18)"),
                {a.code, name, QLatin1String(g.asset), QLatin1String(g.expense),
                 QLatin1String(g.accumulated), DateToRoc(a.acquired), a.cost, a.residual, a.months,
                 a.amortised, a.perPeriod, posted, a.cost - a.residual - a.amortised,
                 a.sold.isValid() ? 1 : 0, a.sold.isValid() ? DateToRoc(a.sold) : QString(),
                 QString::fromUtf8(person.name), a.reviewed ? QStringLiteral("王美華") : QString(),
                 a.acquired.startOfDay()
                     .addSecs(9 * 3600 + int(h % 28800))
                     .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))});
            rows += 1 + split(db, a, g, h);
        }
    }
    return rows;
}

}  // namespace

int fill(SqliteConnection& db, const QDate& today) {
    int rows = 0;
    const QDate closing = QDate(today.year(), today.month(), 1).addDays(-1);
    db.transaction([&] {
        if (isEmpty(db, "Acco")) rows += accounts(db);
        if (isEmpty(db, "JE")) {
            db.exec(QStringLiteral("INSERT INTO JE (JDATE) VALUES (?1)"), {DateToRoc(closing)});
            ++rows;
        }
        if (isEmpty(db, "Asset")) rows += assets(db, today, closing);
    });
    return rows;
}
}  // namespace AssetData
