// registerclient DATABASE WORKSTATION COUNT: adds COUNT split assets K<ws><n>, editing
// every third; prints "ok CODE" per change, exits 2 when the register refuses any.
#include <QCoreApplication>
#include <QTextStream>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "SqlLiteral.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) return 1;
    QTextStream out(stdout);
    try {
        EmbeddedDatabase db(args[1]);
        const QString ws = SqlLiteral(args[2]), prefix = QStringLiteral("K") + args[2];
        // The first value of the second column of a statement for this workstation (%1).
        const auto value = [&](const QString& text, int column = 1) {
            return db.execute(text.arg(ws)).value(0).rows.value(0).value(column).toInt();
        };
        if (value(QStringLiteral("SF_ZQ2K_SALE %1,'ADM',1")) != 0) return 2;
        const int done = value("SELECT COUNT(*) FROM Asset WHERE LEFT(ACODE, 5) = 'K' + %1", 0);
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
            if (value(QStringLiteral("SF_ZQ2K_ASSET_ADD %1")) != 0) return 2;
            out << "ok " << code << Qt::endl;
            if (n % 3 != 0) continue;
            if (value("SF_ZQ2K_ASSET_COPY %1," + code) != 0) return 2;
            value(
                "UPDATE Asset_Temp SET ANAME = '改過', ATOTA = ATOTA + 99.99, AYEAR = AYEAR + 1 "
                "WHERE LCODE = %1");
            if (value(QStringLiteral("SF_ZQ2K_ASSET_EDIT %1")) != 0) return 2;
            out << "ok " << code << Qt::endl;
        }
        value(QStringLiteral("SF_ZQ2K_ASSET_CLEAN %1"));
    } catch (const DbError& e) {
        out << e.description() << Qt::endl;
        return 3;
    }
    return 0;
}
