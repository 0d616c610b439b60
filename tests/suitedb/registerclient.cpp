// A workstation that keeps changing the register as the asset window does, for the test that
// kills workstations while they work: registerclient DATABASE WORKSTATION COUNT. It adds COUNT
// assets K<workstation><n> through the work rows, each with a department split, editing every
// third one. Prints "ok CODE" after each change; exits 2 when the register refuses anything.
#include <QCoreApplication>
#include <QTextStream>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "SqlLiteral.h"

namespace {
int value(EmbeddedDatabase& db, const QString& text, int column = 1) {
    return db.execute(text).value(0).rows.value(0).value(column).toInt();
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) return 1;
    QTextStream out(stdout);
    try {
        EmbeddedDatabase db(args[1]);
        const QString ws = SqlLiteral(args[2]);
        const QString prefix = QStringLiteral("K") + args[2];
        if (value(db, QStringLiteral("SF_ZQ2K_SALE ") + ws + QStringLiteral(",'ADM',1")) != 0)
            return 2;
        const int done = value(
            db, "SELECT COUNT(*) FROM Asset WHERE ACODE LIKE " + SqlLiteral(prefix + u'%'), 0);
        for (int n = done + 1; n <= done + args[3].toInt(); ++n) {
            const QString code = SqlLiteral(prefix + QString::number(n).rightJustified(4, u'0'));
            db.execute(QStringLiteral("INSERT INTO Asset_Temp (LCODE, ACODE, ANAME, ACOD1, ACOD2, "
                                      "ACOD3, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ASELL) "
                                      "VALUES (%1, %2, '壓力測試', '1441', '6125', '1442', "
                                      "'116.01.15', %3, 1000, %4, 0, 0, 0)")
                           .arg(ws, code, QString::number(50000 + n * 1234.56, 'f', 2),
                                QString::number(12 + (n * 37) % 109)));
            for (int seq = 1; seq <= 3; ++seq)
                db.execute(QStringLiteral("INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, "
                                          "APERC, ATOTA) VALUES (%1, %2, %3, '0%3', %4, 0)")
                               .arg(ws, code, QString::number(seq), seq == 1 ? "50" : "25"));
            if (value(db, QStringLiteral("SF_ZQ2K_ASSET_ADD ") + ws) != 0) return 2;
            out << "ok " << code << Qt::endl;
            if (n % 3 != 0) continue;
            if (value(db, QStringLiteral("SF_ZQ2K_ASSET_COPY ") + ws + u',' + code) != 0) return 2;
            db.execute(
                "UPDATE Asset_Temp SET ANAME = '改過', ATOTA = ATOTA + 99.99, AYEAR = "
                "AYEAR + 1 WHERE LCODE = " +
                ws);
            if (value(db, QStringLiteral("SF_ZQ2K_ASSET_EDIT ") + ws) != 0) return 2;
            out << "ok " << code << Qt::endl;
        }
        db.execute(QStringLiteral("SF_ZQ2K_ASSET_CLEAN ") + ws);
    } catch (const DbError& e) {
        out << e.description() << Qt::endl;
        return 3;
    }
    return 0;
}
