#include "SuiteSchema.h"

#include <QStringList>

#include "SqliteConnection.h"

namespace {
// A text column as the suite declares it: never NULL, empty by default.
QString text(const char* name) {
    return QStringLiteral("%1 TEXT COLLATE TSQL NOT NULL DEFAULT ''").arg(QLatin1String(name));
}

QString rightMasks() {
    QStringList columns;
    for (int c = 0; c < 41; ++c)
        columns.append(
            QStringLiteral("R%1 INTEGER NOT NULL DEFAULT 0").arg(c, 2, 10, QLatin1Char('0')));
    return columns.join(QStringLiteral(", "));
}

QStringList statements() {
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS COMP (%1 PRIMARY KEY, %2, %3, %4, %5, %6, %7, "
                       "%8, MFOR TEXT COLLATE TSQL)")
            .arg(text("COMNO"), text("COMNAM"), text("COMSNM"), text("COMUNI"), text("COMBOS"),
                 text("COMTEL"), text("COMFAX"), text("COMADR")),
        QStringLiteral("CREATE TABLE IF NOT EXISTS LSTA (%1 PRIMARY KEY, %2, %3, LTIME DATETIME)")
            .arg(text("LCODE"), text("LNAME"), text("LUSER")),
        QStringLiteral("CREATE TABLE IF NOT EXISTS Depart25 (%1 PRIMARY KEY, %2)")
            .arg(text("DEPARTNO"), text("DENAME")),
        QStringLiteral("CREATE TABLE IF NOT EXISTS SALE (%1 PRIMARY KEY, %2, %3, %4, %5, %6, %7)")
            .arg(text("SCODE"), text("SNAME"), text("SUSER"), text("SSTOC"), text("DEPARTNO"),
                 text("STEL"), rightMasks()),
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS SALE_SUSER ON SALE (SUSER)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS SALE_SNAME ON SALE (SNAME)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS F8DATA (%1 PRIMARY KEY, %2, %3, %4, %5, %6, "
                       "%7, %8)")
            .arg(text("FSEQ"), text("FDATE"), text("FBEGD"), text("FEND"), text("FDEPNO"),
                 text("FDATA"), text("FSNAM"), text("FUSER")),
        QStringLiteral("CREATE INDEX IF NOT EXISTS F8DATA_FBEGD ON F8DATA (FBEGD, FSEQ)"),
    };
}

int objectCount(SqliteConnection& db) {
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name NOT LIKE 'sqlite%'"))
        .toInt();
}
}  // namespace

namespace SuiteSchema {
int create(SqliteConnection& db) {
    int created = 0;
    db.transaction([&] {
        const int before = objectCount(db);
        for (const QString& sql : statements()) db.script(sql);
        created = objectCount(db) - before;
    });
    return created;
}
}  // namespace SuiteSchema
