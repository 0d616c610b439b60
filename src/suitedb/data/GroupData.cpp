#include "GroupData.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>
#include <stdexcept>

#include "Backends.h"
#include "CompanyGroup.h"
#include "DemoData.h"
#include "ItemCatalogue.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "Values.h"

namespace GroupData {
namespace {
struct Sister {
    const char* key;
    const char* name;
    const char* shortName;
};
// In the order the group's statements name them.
constexpr Sister Sisters[] = {
    {"ZqPro4", "台北分公司", "台北"},
    {"ZqPro5", "公益分公司", "公益"},
    {"ZqPro3", "台中分公司", "台中"},
    {"ZqPro2", "高雄分公司", "高雄"},
};
constexpr int SisterCount = int(std::size(Sisters));

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// A sister's stock of an item in warehouse 001; negative: the sister does not keep the item.
int stockOf(int sister, int item) {
    const unsigned h = unsigned(item) * 2654435761u + unsigned(sister) * 40503u;
    if ((h >> 7) % 11 == 0) return -1;
    return int((h >> 12) % 60);
}

// Items that 台中 has on open purchase orders: one in ten, due within a month.
bool onOrder(int item) { return item % 10 == 3; }

void fillSister(SqliteConnection& db, int sister, const QDate& today) {
    const QList<ItemCatalogue::Item>& items = ItemCatalogue::items();
    db.transaction([&] {
        DemoData::fillPeople(db);
        db.exec(QStringLiteral("INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '001', ?1)"),
                {text(Sisters[sister].shortName) + QStringLiteral("總倉")});
        for (int i = 0; i < items.size(); ++i) {
            const QString code = QString::fromUtf8(items[i].code);
            const int stock = stockOf(sister, i);
            if (stock >= 0)
                db.exec(QStringLiteral("INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES (?1, "
                                       "'001', ?2, ?3)"),
                        {code, text(Sisters[sister].shortName) + QStringLiteral("總倉"),
                         double(stock)});
            if (QLatin1String(Sisters[sister].key) != QLatin1String("ZqPro3") || !onOrder(i))
                continue;
            const QString order = QStringLiteral("P%1").arg(i, 10, 10, QLatin1Char('0'));
            db.exec(QStringLiteral("INSERT INTO SBIN (SCOD1, SDAT1, SDAT2, SPCOD, SPNAM, SINYN) "
                                   "VALUES (?1, ?2, ?3, '', '', 'N')"),
                    {order, DateToRoc(today), DateToRoc(today.addDays(3 + i % 27))});
            db.exec(QStringLiteral("INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINAM, SPNAM, STCOD, "
                                   "SINUM, SONUM, SPOIN, SINYN, SBACK) VALUES (?1, 1, ?2, ?3, '', "
                                   "'001', 10, 0, '', 'N', '')"),
                    {order, code, QString::fromUtf8(items[i].name)});
        }
    });
}

void fillCentral(SqliteConnection& db, const QDate& today) {
    const QList<ItemCatalogue::Item>& items = ItemCatalogue::items();
    db.transaction([&] {
        db.exec(QStringLiteral(
            "CREATE TABLE VNACCT (VACCT TEXT COLLATE TSQL PRIMARY KEY, VANAM TEXT COLLATE TSQL)"));
        db.exec(QStringLiteral(
            "CREATE TABLE VNSTOC (VACCT TEXT COLLATE TSQL, VBRNO TEXT COLLATE TSQL, VBNAM TEXT "
            "COLLATE TSQL, VICOD TEXT COLLATE TSQL, VSNUM REAL, VDATE TEXT COLLATE TSQL, "
            "PRIMARY KEY (VACCT, VICOD, VBRNO))"));
        db.exec(QStringLiteral("INSERT INTO VNACCT (VACCT, VANAM) VALUES (?1, ?2)"),
                {QLatin1String(DemoAccount), QStringLiteral("示範集團")});
        for (int i = 0; i < items.size(); ++i)
            for (int s = 0; s < SisterCount; ++s) {
                const int stock = stockOf(s, i);
                if (stock < 0) continue;
                db.exec(QStringLiteral("INSERT INTO VNSTOC (VACCT, VBRNO, VBNAM, VICOD, VSNUM, "
                                       "VDATE) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
                        {QLatin1String(DemoAccount), QLatin1String(Sisters[s].key),
                         text(Sisters[s].name), QString::fromUtf8(items[i].code), double(stock),
                         DateToRoc(today)});
            }
    });
}

CompanyGroup demoGroup() {
    CompanyGroup group;
    for (const Sister& s : Sisters) {
        CompanyGroup::Company c;
        c.key = QLatin1String(s.key);
        c.name = text(s.name);
        c.shortName = text(s.shortName);
        c.database = c.key;
        group.companies << c;
    }
    group.central.key = QStringLiteral("Central");
    group.central.name = QStringLiteral("集團總部");
    group.central.shortName = group.central.name;
    group.central.provider = QStringLiteral("MSDASQL.1");
    group.central.server = QStringLiteral("zqcentral");
    group.central.user = QStringLiteral("vnnet");
    group.central.database = QLatin1String(CentralCatalogue);
    group.centralAccount = QLatin1String(DemoAccount);
    return group;
}
}  // namespace

QStringList create(const QString& folder, const QDate& today) {
    QStringList lines;
    const auto made = [&](const QString& path) {
        lines << QStringLiteral("已建立集團資料庫 %1").arg(QDir::toNativeSeparators(path));
    };
    for (int s = 0; s < SisterCount; ++s) {
        const QString path = EmbeddedDatabasePath(folder, QLatin1String(Sisters[s].key));
        if (QFileInfo::exists(path)) continue;
        SqliteConnection db(path, SqliteConnection::OpenMode::Create);
        SuiteSchema::create(db);
        fillSister(db, s, today);
        made(path);
    }
    const QString central = EmbeddedDatabasePath(folder, QLatin1String(CentralCatalogue));
    if (!QFileInfo::exists(central)) {
        SqliteConnection db(central, SqliteConnection::OpenMode::Create);
        fillCentral(db, today);
        made(central);
    }
    const QString ini = QDir(folder).filePath(QLatin1String(CompanyGroup::FileName));
    if (!QFileInfo::exists(ini)) {
        if (!CompanyGroup::write(folder, demoGroup()))
            throw std::runtime_error(QStringLiteral("無法寫入設定檔 %1").arg(ini).toStdString());
        lines << QStringLiteral("已寫入集團設定 %1").arg(QDir::toNativeSeparators(ini));
    }
    return lines;
}
}  // namespace GroupData
