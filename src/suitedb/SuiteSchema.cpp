#include "SuiteSchema.h"

#include <QList>
#include <QSet>

#include "SqliteConnection.h"
#include "WorkSessions.h"

namespace {
// An index; a partial one (where) holds only the rows that meet its condition, and SQLite reads
// it for a query whose WHERE has the condition's terms as they stand here, constants included.
struct Index {
    const char* name;
    const char* columns;
    bool unique = false;
    const char* where = nullptr;
};

// A table: its columns as "NAME KIND, ..." with the kinds
//   T  text, never NULL, '' by default      T?  text that may be NULL
//   R  amount, never NULL, 0 by default     R?  amount that may be NULL
//   I  count, never NULL, 0 by default      I=1 count, 1 by default
//   DT date and time (may be NULL)
// its primary key ("" for none) and whether its rows are kept in the order of that key, as
// the server keeps a table by its clustered key (the item master, paged by code; the heads of
// documents, which every line of a history page looks up by its code: one tree to walk).
struct Table {
    const char* name;
    const char* columns;
    const char* primaryKey;
    QList<Index> indexes;
    bool clustered = false;
};

QString rightMasks() {
    QStringList columns;
    for (int c = 0; c < 41; ++c)
        columns.append(QStringLiteral("R%1 I").arg(c, 2, 10, QLatin1Char('0')));
    return columns.join(QStringLiteral(", "));
}

// Company, workstations, staff and notices.
const QList<Table>& sessionTables() {
    static const QByteArray saleColumns =
        ("SCODE T, SNAME T, SUSER T, SSTOC T, DEPARTNO T, STEL T, " + rightMasks()).toLatin1();
    static const QList<Table> tables = {
        {"COMP",
         "COMNO T, COMNAM T, COMSNM T, COMUNI T, COMBOS T, COMTEL T, COMFAX T, COMADR T, MFOR T?",
         "COMNO",
         {}},
        {"LSTA", "LCODE T, LNAME T, LUSER T, LTIME DT", "LCODE", {}},
        {"Depart25", "DEPARTNO T, DENAME T", "DEPARTNO", {}},
        {"SALE",
         saleColumns.constData(),
         "SCODE",
         {{"SALE_SUSER", "SUSER", true}, {"SALE_SNAME", "SNAME"}}},
        {"F8DATA",
         "FSEQ T, FDATE T, FBEGD T, FEND T, FDEPNO T, FDATA T, FSNAM T, FUSER T",
         "FSEQ",
         {{"F8DATA_FBEGD", "FBEGD, FSEQ"}}},
        // The highest notice number ever given, so that a deleted notice's number is never
        // given again: one row, FKEY ''.
        {"F8SEQ", "FKEY T, FLAST I", "FKEY", {}},
    };
    return tables;
}

// The asset register. AYEAR holds months; ATOT3 the amount per period, ATOT4 the
// depreciation posted so far, ATOT5 the remaining value; ASELL 1 when sold. AVERS counts the
// changes of the row, so that an edit copied before another workstation's change is refused.
#define ASSET_COLUMNS                                                                            \
    "ACODE T, ANAME T, ACOD1 T, ACOD2 T, ACOD3 T, ADAT1 T, ATOTA R, ATOT1 R, AYEAR I, ATOT2 R, " \
    "ATOT3 R, ATOT4 R, ATOT5 R, ASELL I, ADAT2 T, AUSE1 T, AUSE2 T, AUSE3 T, ATIM2 T, AVERS I"
#define ASSETD_COLUMNS "ACODE T, ASEQ I, ADENO T, APERC R, ATOTA R, ABACK T"

const QList<Table>& assetTables() {
    static const QList<Table> tables = {
        {"Acco", "ACODE T, ANOTE T", "ACODE", {}},
        {"JE", "JDATE T", "", {}},
        {"Asset", ASSET_COLUMNS, "ACODE", {}},
        {"Assetd", ASSETD_COLUMNS, "ACODE, ASEQ", {}},
        {"Assets", "ACODE T, ADATE T, ATOTA R, ASOUR T", "", {{"Assets_ACODE", "ACODE, ADATE"}}},
        {"Asset_Temp", "LCODE T, " ASSET_COLUMNS, "", {{"Asset_Temp_LCODE", "LCODE"}}},
        {"Assetd_Temp", "LCODE T, " ASSETD_COLUMNS, "", {{"Assetd_Temp_LCODE", "LCODE, ASEQ"}}},
        // The session that holds a workstation's work rows (see WorkSessions), and the question
        // a register procedure last asked a workstation, with the asset's version when asked.
        {"WorkSession", "LCODE T, SESS T", "LCODE", {}},
        {"AssetQuestion", "LCODE T, ACODE T, ACTION I, AVERS I", "LCODE", {}},
    };
    return tables;
}
#undef ASSET_COLUMNS
#undef ASSETD_COLUMNS

// Sales and sales return lines share their layout: document HCOD1, line HSEQ, date HDAT1,
// item, customer HPCOD, salesman HSCOD, department HDENO, warehouse HTCOD, quantity and
// price in the base unit (HINUM, HPOIN, HUNIT) and in the line's own unit (HINU3, HPOI3,
// HUNI3; NULL when the line has none), line total HTOTA, remark HCONS, serial HCOD1SEQ.
#define SALES_LINE_COLUMNS                                                                      \
    "HCOD1 T, HSEQ I, HDAT1 T, HICOD T, HINAM T, HPCOD T, HPNAM T, HSCOD T, HSNAM T, HDENO T, " \
    "HTCOD T, HINUM R, HPOIN T, HUNIT R, HTOTA R, HINU3 R?, HPOI3 T, HUNI3 R?, HCONS T, "       \
    "HCOD1SEQ T, SystemVisible I=1"

// What the sales and sales return grids show of a line, besides its key.
#define SALES_GRID_COLUMNS "HPNAM, HSNAM, HTCOD, HINUM, HINU3, HPOI3, HUNI3, HTOTA, HCONS"

// Items, partners, warehouses and the history of the item inquiry. The index that a history
// grid pages on carries, after the key (item, document, line), the columns of the grid's row
// filter and user restriction and those it shows: a page is read from the index alone, a few
// neighbouring entries, never from lines spread over the table (in a large file each costs
// memory no cache holds), and a line that the filter passes over costs an index entry. The
// stock lots have an index of the open lots only. A line's tax marker reads its document's tax
// mode from an index of the code and the mode alone: the documents of a page lie apart, one
// page of the file each, and the index holds four times as many on a page as the table does.
const QList<Table>& inquiryTables() {
    // The vendor's purchase lines in the order of VF8J's key VINX, so that a page of them in
    // that order reads fifteen entries instead of sorting every line of the vendor.
    static const QByteArray vendorKeyOrder =
        (QStringLiteral("VPCOD, (") + SuiteSchema::vendorKey() + QStringLiteral(") COLLATE TSQL"))
            .toLatin1();
    static const QList<Table> tables = {
        {"ITEM",
         "ICODE T, INAME T, ICONS T, IPOIN T, INUMB R, ISAVE R, ISISE R, INUM2 R, IPOI2 T, "
         "IUNI2 R, INUM3 R, IPOI3 T, IUNI3 R, IPCOD T, IPNAM T, IUNIT R, IUNIT2 R, IUNIT3 R, "
         "IUNIT4 R, IUNIT5 R, IUNIT6 R, ICOD2 T, CH63 T, INUM7 R, IPOI7 T, ISOUR R, ISPACE T, "
         "ORSUB R",
         "ICODE",
         {{"ITEM_INAME", "INAME"}, {"ITEM_ICOD2", "ICOD2"}},
         true},
        {"ITEM1",
         "ICODE1 T, ENA13 T, CO128 T, ISOUR2 R, T1_0 T?, T1_1 R?, T1_2 R?, T1_4 R?, T1_10 R?",
         "ICODE1",
         {{"ITEM1_ENA13", "ENA13"}, {"ITEM1_CO128", "CO128"}},
         true},
        {"ITEM3",
         "ICODE3 T, STOPSALE I, T11_11 T?, T11_13 R?, T11_15 R?, T11_19 R?",
         "ICODE3",
         {},
         true},
        {"CUST", "CCODE T, CNAME T, CNAM2 T, CUNI T, CTEL T, CADDR T, CSCOD T", "CCODE", {}},
        {"PART", "PCODE T, PNAME T, PNAM2 T, PUNI T, PTEL T, PADDR T", "PCODE", {}},
        {"ITYP", "ITYPE T, ITCOD T, ITNAM T", "ITYPE, ITCOD", {}},
        {"STOC",
         "SITEM T, STCOD T, STNAM T, SNUMB R",
         "SITEM, STCOD",
         {{"STOC_STCOD", "STCOD, SITEM"}}},
        {"PLACE", "PTCOD T, PICOD T, PINAM T", "PTCOD, PICOD", {}},
        {"ITEMP", "ICODE T, ITCOD T, IICOD T", "", {{"KITEMP", "ICODE, ITCOD, IICOD"}}},

        {"POSEIN",
         "PCOD1 T, PDAT1 T, PPCOD T, PPNAM T, PSCOD T, PTAXM I, PTOTA R",
         "PCOD1",
         {{"POSEIN_PTAXM", "PCOD1, PTAXM"}},
         true},
        {"HISTIN",
         SALES_LINE_COLUMNS,
         "",
         {{"HISTIN_HICOD",
           "HICOD, HCOD1, HSEQ, SystemVisible, HSCOD, HDENO, " SALES_GRID_COLUMNS ", HCOD1SEQ"},
          {"HISTIN_HPCOD",
           "HPCOD, HICOD, HCOD1, HSEQ, SystemVisible, HSCOD, HINAM, " SALES_GRID_COLUMNS}}},
        {"HISTOU",
         SALES_LINE_COLUMNS,
         "",
         {{"HISTOU_HICOD", "HICOD, HCOD1, HSEQ, SystemVisible, HSCOD, " SALES_GRID_COLUMNS}}},

        // Purchases: VCOD1SEQ is the lot number of the line, VCOD1NUM what is left of the lot.
        {"BUYSIN",
         "BCOD1 T, BDAT1 T, BPCOD T, BPNAM T, BTAXM I, BTOTA R",
         "BCOD1",
         {{"BUYSIN_BTAXM", "BCOD1, BTAXM"}},
         true},
        {"VISEIN",
         "VCOD1 T, VSEQ I, VDAT1 T, VICOD T, VINAM T, VPCOD T, VPNAM T, VTCOD T, VINUM R, "
         "VPOIN T, VUNIT R, VTOTA R, VCOD1SEQ T, VCOD1NUM R",
         "",
         {{"VISEIN_VICOD", "VICOD, VCOD1, VSEQ"},
          {"VISEIN_LOT", "VICOD, VCOD1, VCOD1SEQ, VPNAM, VUNIT, VINUM, VCOD1NUM", false,
           "VCOD1NUM != 0 AND VCOD1SEQ != ''"},
          {"VISEIN_VCOD1SEQ", "VCOD1SEQ"},
          {"VISEIN_VPCOD", "VPCOD, VICOD, VCOD1, VSEQ"},
          {"VISEIN_VINX", vendorKeyOrder.constData()}}},
        {"BUYSINCODE",
         "BCOD1SEQ T, STCOD T, INUMB R",
         "",
         {{"BUYSINCODE_BCOD1SEQ", "BCOD1SEQ, STCOD"}}},
        {"VISEOU",
         "VCOD1 T, VOSEQ I, VDAT1 T, VICOD T, VINAM T, VPCOD T, VPNAM T, VTCOD T, VINU2 R, "
         "VPOIN T, VUNI2 R, VTOTA R, SystemVisible I=1",
         "",
         {{"VISEOU_VICOD",
           "VICOD, VCOD1, VOSEQ, SystemVisible, VPNAM, VTCOD, VINU2, VPOIN, VUNI2"}}},

        // Point of sale: RIDT '0' a sale, '1' a return.
        {"RETAILD",
         "RCOD1 T, RSEQ I, RDAT1 T, RIDT T, RICOD T, RINAM T, RPNAM T, RSCOD T, RSNAM T, "
         "RTCOD T, RINUM R, RPOIN T, RUNIT R, RTOTA R, RINU2 R?, RUNI2 R?, RCONS T, RCOD1SEQ T",
         "",
         {{"RETAILD2_INX",
           "RICOD, RIDT, RCOD1, RSEQ, RSCOD, RPNAM, RSNAM, RTCOD, RINUM, RINU2, RPOIN, RUNI2, "
           "RTOTA, RCONS, RCOD1SEQ"}}},

        // Transfers from warehouse TSCO1 to TSCO2.
        {"MTRAN", "MCODE T, MDATE T, MUSER T, MBACK T", "", {{"MTRAN_MCODE", "MCODE", true}}},
        {"TRAN1",
         "TCCOD T, TSEQ I, TICOD T, TINAM T, TSCO1 T, TSCO2 T, TNUMB R, TPOIN T, TCOD1SEQ T",
         "",
         {{"TRAN1_INX", "TICOD, TCCOD, TSEQ, TSCO1, TSCO2, TNUMB, TPOIN, TCOD1SEQ"}}},

        // Purchase orders: SINUM ordered, SONUM received, SINYN 'N' while open; SDAT2 the
        // expected date.
        {"SBIN",
         "SCOD1 T, SDAT1 T, SDAT2 T, SPCOD T, SPNAM T, SINYN T",
         "SCOD1",
         {},
         true},
        {"SISE",
         "SCOD1 T, SSEQ I, SICOD T, SINAM T, SPNAM T, STCOD T, SINUM R, SONUM R, SPOIN T, "
         "SINYN T, SBACK T",
         "",
         {{"SISE1_INX", "SICOD, SCOD1, SSEQ, SINYN, SINUM, SONUM, SPNAM, SPOIN, SBACK"}}},

        // Customer orders: ONNO the quantity not yet delivered, OINYN 'N' or '' while open,
        // OINU2 the quantity in the line's own unit (NULL when the line has none).
        {"ORDET",
         "OCOD1 T, ODAT1 T, OPCOD T, OCNAM T, OSCOD T",
         "",
         {{"ORDET_OCOD1", "OCOD1", true}}},
        {"ORSUB",
         "OCOD1 T, OSEQ I, OICOD T, OINAM T, OCNAM T, OSCOD T, ITCOD T, OINUM R, OINU2 R?, "
         "OPOIN T, ONNO R, OINYN T, OBACK T, OCOD1SEQ T",
         "",
         {{"ORSUB_OICOD",
           "OICOD, OCOD1, OSEQ, OINYN, ONNO, OSCOD, OCNAM, ITCOD, OINUM, OINU2, OPOIN, OBACK, "
           "OCOD1SEQ"}}},

        // Repairs: REBACKM the repair document with its state RSTAT, forwarding state RSTA2
        // and pick-up flag RTAKE; REBACKD its parts; WORKER the customers' repair orders.
        {"REBACKM",
         "RCOD1 T, RDAT1 T, RPCOD T, RPNAM T, RSTAT I, RSTA2 I, RTAKE I",
         "",
         {{"REBACKM_RCOD1", "RCOD1", true}}},
        {"REBACKD",
         "RCOD1 T, RSEQ I, RPNAM T, RSTA1 T, RICOD T, RINAM T, RTCOD T, RINU2 R, RPOIN T",
         "",
         {{"REBACKD_INX2", "RICOD, RCOD1, RSEQ, RPNAM, RSTA1, RINAM, RTCOD, RINU2, RPOIN"}}},
        {"WORKER",
         "WCOD2 T, WDAT1 T, WPCOD T, WPNAM T, WSC13 T, WSN13 T, WICOD T, WINAM T, WTCOD T, "
         "WINU2 R, WPOIN T, WSTA1 I, WST12 I, WSTA2 I, WSTA4 I, WSTA6 I, WCOD6 T?",
         "",
         {{"WORKER_WPCOD", "WPCOD, WICOD, WCOD2"}}},

        // Goods received (SINOU 'C') and serial numbers held per warehouse.
        {"SINOUT",
         "SIONO T, SINOU T, SICODE T, STTARG T, ENUMB R",
         "",
         {{"SINOUT_SICODE", "SICODE, SINOU, SIONO"}}},
        {"SerialInOutTotal",
         "SerialCode T, ICODE T, STCOD T, Quantity R",
         "",
         {{"SerialInOutTotal_ICODE", "ICODE, SerialCode"}}},
    };
    return tables;
}
#undef SALES_LINE_COLUMNS
#undef SALES_GRID_COLUMNS

// Purchase lines by vendor; VINX (item code filled to 17 bytes of the code page, document
// code, line number + 10000) orders them by item, document and line.
QString vendorPurchasesView() {
    return QStringLiteral(
               "VF8J AS SELECT VCOD1, VSEQ, VDAT1, VPCOD, VPNAM, VICOD, VINAM, VTCOD, VINUM, "
               "VPOIN, VUNIT, VTOTA, (%1) COLLATE TSQL AS VINX FROM VISEIN")
        .arg(SuiteSchema::vendorKey());
}

QString columnDefinition(const QString& definition) {
    const QString name = definition.section(u' ', 0, 0, QString::SectionSkipEmpty);
    const QString kind = definition.section(u' ', 1, 1, QString::SectionSkipEmpty);
    static const QList<std::pair<QString, QString>> kinds = {
        {QStringLiteral("T"), QStringLiteral("TEXT COLLATE TSQL NOT NULL DEFAULT ''")},
        {QStringLiteral("T?"), QStringLiteral("TEXT COLLATE TSQL")},
        {QStringLiteral("R"), QStringLiteral("REAL NOT NULL DEFAULT 0")},
        {QStringLiteral("R?"), QStringLiteral("REAL")},
        {QStringLiteral("I"), QStringLiteral("INTEGER NOT NULL DEFAULT 0")},
        {QStringLiteral("I=1"), QStringLiteral("INTEGER NOT NULL DEFAULT 1")},
        {QStringLiteral("DT"), QStringLiteral("DATETIME")},
    };
    for (const auto& [code, type] : kinds)
        if (kind == code) return name + u' ' + type;
    qFatal("unknown column kind %s", qPrintable(definition));
}

QList<const Table*> allTables() {
    QList<const Table*> all;
    for (const auto* group : {&sessionTables(), &assetTables(), &inquiryTables()})
        for (const Table& table : *group) all.append(&table);
    return all;
}

// CREATE INDEX for the index; with an empty head, word for word the definition that SQLite
// keeps of it in sqlite_master (which drops IF NOT EXISTS and the schema).
QString indexSql(const Table& table, const Index& index, const QString& head) {
    return QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)%6")
        .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), head, QLatin1String(index.name),
             QLatin1String(table.name), QLatin1String(index.columns),
             index.where ? QStringLiteral(" WHERE ") + QLatin1String(index.where) : QString());
}

// CREATE TABLE for the table; with an empty head, word for word the definition that SQLite
// keeps of it in sqlite_master.
QString tableSql(const Table& table, const QString& head) {
    QStringList parts;
    for (const QString& definition : QString::fromLatin1(table.columns).split(u','))
        parts.append(columnDefinition(definition.trimmed()));
    if (*table.primaryKey)
        parts.append(QStringLiteral("PRIMARY KEY (%1)").arg(QLatin1String(table.primaryKey)));
    return QStringLiteral("CREATE TABLE %1%2 (%3)%4")
        .arg(head, QLatin1String(table.name), parts.join(QStringLiteral(", ")),
             table.clustered ? QStringLiteral(" WITHOUT ROWID") : QString());
}

QStringList statements(const QString& prefix) {
    QStringList out;
    for (const Table* table : allTables()) {
        out.append(tableSql(*table, QStringLiteral("IF NOT EXISTS ") + prefix));
        for (const Index& index : table->indexes)
            out.append(indexSql(*table, index, QStringLiteral("IF NOT EXISTS ") + prefix));
    }
    out.append(QStringLiteral("CREATE VIEW IF NOT EXISTS %1%2").arg(prefix, vendorPurchasesView()));
    out.append(WorkSessions::schemaStatements(prefix));
    return out;
}

// Columns declared since a database file was made are added to its tables (at the end, as
// ALTER TABLE adds them) before their indexes are made; returns how many were added.
int addMissingColumns(SqliteConnection& db, const QString& prefix) {
    int added = 0;
    for (const Table* table : allTables()) {
        const QString name = QLatin1String(table->name);
        QSet<QString> present;
        for (const QVariantList& row :
             db.query(QStringLiteral("PRAGMA %1table_info(%2)").arg(prefix, name)).rows)
            present.insert(row.value(1).toString().toUpper());
        if (present.isEmpty()) continue;  // made whole below
        for (const QString& definition : QString::fromLatin1(table->columns).split(u',')) {
            const QString column = columnDefinition(definition.trimmed());
            if (present.contains(column.section(u' ', 0, 0).toUpper())) continue;
            db.script(QStringLiteral("ALTER TABLE %1%2 ADD COLUMN %3").arg(prefix, name, column));
            ++added;
        }
    }
    return added;
}

// An index that the file holds with another definition than the one declared now (other
// columns or condition) is dropped, to be made anew as declared; returns how many were.
int dropChangedIndexes(SqliteConnection& db, const QString& prefix) {
    int dropped = 0;
    for (const Table* table : allTables())
        for (const Index& index : table->indexes) {
            const QString name = QLatin1String(index.name);
            const QVariant kept = db.scalar(
                QStringLiteral("SELECT sql FROM %1sqlite_master WHERE type = 'index' AND name = ?1")
                    .arg(prefix),
                {name});
            if (kept.isNull() || kept.toString() == indexSql(*table, index, QString())) continue;
            db.script(QStringLiteral("DROP INDEX %1\"%2\"").arg(prefix, name));
            ++dropped;
        }
    return dropped;
}

// A file made when the vendor view read otherwise gets it anew; returns whether it did.
int dropChangedView(SqliteConnection& db, const QString& prefix) {
    const QVariant kept = db.scalar(
        QStringLiteral("SELECT sql FROM %1sqlite_master WHERE type = 'view' AND name = 'VF8J'")
            .arg(prefix));
    if (kept.isNull() || kept.toString() == QStringLiteral("CREATE VIEW ") + vendorPurchasesView())
        return 0;
    db.script(QStringLiteral("DROP VIEW %1VF8J").arg(prefix));
    return 1;
}

int objectCount(SqliteConnection& db, const QString& prefix) {
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM %1sqlite_master WHERE name NOT LIKE 'sqlite%'")
                    .arg(prefix))
        .toInt();
}
}  // namespace

namespace SuiteSchema {
QString filled(const QString& column, int bytes) {
    return QStringLiteral(
               "CASE WHEN length(rtrim(tsql_char(%1, %2))) < length(rtrim(%1)) THEN %1 ELSE "
               "tsql_char(%1, %2) END")
        .arg(column)
        .arg(bytes);
}

QString vendorKey() {
    return filled(QStringLiteral("VICOD"), VendorKeyItemBytes) +
           QStringLiteral(" || VCOD1 || (10000 + VSEQ)");
}

int create(SqliteConnection& db, const QString& schema) {
    const QString prefix = schema.isEmpty() ? QString() : schema + u'.';
    int created = 0;
    db.transaction([&] {
        const int before = objectCount(db, prefix);
        const int columns = addMissingColumns(db, prefix);
        const int rebuilt = dropChangedIndexes(db, prefix) + dropChangedView(db, prefix);
        for (const QString& sql : statements(prefix)) db.script(sql);
        created = objectCount(db, prefix) - before + columns + rebuilt;
    });
    return created;
}

QStringList tablesMadeOtherwise(SqliteConnection& db) {
    QStringList names;
    for (const Table* table : allTables()) {
        const QVariant kept = db.scalar(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1"),
            {QLatin1String(table->name)});
        if (!kept.isNull() && kept.toString() != tableSql(*table, QString()))
            names.append(QLatin1String(table->name));
    }
    return names;
}

QStringList tableNames() {
    QStringList names;
    for (const Table* table : allTables()) names.append(QLatin1String(table->name));
    names.append(QStringLiteral("VF8J"));
    return names;
}

QStringList indexNames() {
    QStringList names;
    for (const Table* table : allTables())
        for (const Index& index : table->indexes) names.append(QLatin1String(index.name));
    return names;
}
}  // namespace SuiteSchema
