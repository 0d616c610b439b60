#include "HistoryGrids.h"

#include <QStringBuilder>
#include <vector>

#include "Session.h"
#include "SqlLiteral.h"

namespace {
QString fixedKey(const char* document, const char* line) {
    return QStringLiteral("(CONVERT(CHAR(11),%1) + CONVERT(CHAR(5),(10000 + %2)))")
        .arg(QLatin1String(document), QLatin1String(line));
}

const QString SalesHead = QStringLiteral(
    "HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS 'HPOIN',"
    "ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,");
const QString SalesTax = QStringLiteral(
    ",CASE WHEN (SELECT PTAXM FROM POSEIN WHERE POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' "
    "ELSE 'N' END AS TAXS");
const QString RepairState = QStringLiteral(
    "(SELECT CASE WHEN RSTAT = 0 THEN '待檢測' WHEN RSTAT = 1 THEN '待報價' WHEN RSTAT = 2 THEN "
    "'報價中' WHEN RSTAT = 3 THEN '維修中' WHEN RSTAT = 4 THEN '換相同產品' WHEN RSTAT = 5 THEN "
    "'換不同產品' WHEN RSTAT = 6 THEN '後送' WHEN RSTAT = 7 THEN '維修完成' WHEN RSTAT = 8 THEN "
    "'維修取消' WHEN RSTAT = 9 THEN '重新檢測' WHEN RSTAT = 10 THEN '轉銷貨退回' ElSE '' END FROM "
    "REBACKM WHERE REBACKM.RCOD1 = REBACKD.RCOD1) AS RSTATN,");
const QString ForwardState = QStringLiteral(
    "(SELECT CASE WHEN RSTA2 = 0 THEN '待後送' WHEN RSTA2 = 1 THEN '已後送' WHEN RSTA2 = 2 THEN "
    "'後送還回' WHEN RSTA2 = 3 THEN '換相同產品' WHEN RSTA2 = 4 THEN '換不同產品' WHEN RSTA2 = 5 "
    "THEN '取消' WHEN RSTA2 = 6 THEN '轉進貨退出並換貨給客戶' WHEN RSTA2 = 7 THEN "
    "'轉進貨退出並轉銷貨退回' ElSE '' END FROM REBACKM WHERE REBACKM.RCOD1 = REBACKD.RCOD1) AS "
    "RSTA2N,");
const QString Masked = QStringLiteral("'***.**' AS VUNIT");
// The states of a customer's repair order; the picked-up date is the ROC date at the head of
// the follow-up document's code.
const QString RepairStates = QStringLiteral(
    "CASE WHEN WSTA1 = 0 THEN '待收件' WHEN WSTA1 = 1 THEN '已收件' WHEN WSTA1 = 2 THEN '再預約' "
    "WHEN WSTA1 = 3 THEN '不取件' Else '' END AS WSTA1N,CASE WHEN WST12 = 0 THEN '待收件' WHEN "
    "WST12 = 1 THEN '已收件' WHEN WST12 = 2 THEN '不取件' ELSE '' END AS WST12N,CASE WHEN WSTA2 = "
    "0 THEN '待檢測' WHEN WSTA2 = 1 THEN '待報價' WHEN WSTA2 = 2 THEN '報價中' WHEN WSTA2 = 3 THEN "
    "'維修中' WHEN WSTA2 = 4 THEN '換相同產品' WHEN WSTA2 = 5 THEN '換不同產品' WHEN WSTA2 = 6 "
    "THEN '後送' WHEN WSTA2 = 7 THEN '維修完成' WHEN WSTA2 = 8 THEN '維修取消' WHEN WSTA2 = 9 THEN "
    "'重新檢測' WHEN WSTA2 = 10 THEN '轉銷貨退回' Else '' END AS WSTA2N,CASE WHEN WSTA4 = 0 THEN "
    "'待後送' WHEN WSTA4 = 1 THEN '已後送' WHEN WSTA4 = 2 THEN '後送還回' WHEN WSTA4 = 3 THEN "
    "'換相同產品' WHEN WSTA4 = 4 THEN '換不同產品' WHEN WSTA4 = 5 THEN '取消' WHEN WSTA4 = 6 THEN "
    "'轉進貨退出並換貨給客戶' WHEN WSTA4 = 7 THEN '轉進貨退出並轉銷貨退回' Else '' END AS WSTA4N,"
    "CASE WHEN WSTA6 = 0 THEN '待取件' WHEN WSTA6 = 1 THEN LEFT(ISNULL(WCOD6,''),3) + '.' + "
    "SUBSTRING(ISNULL(WCOD6,''),4,2) + '.' + SUBSTRING(ISNULL(WCOD6,''),6,2) WHEN WSTA6 = 2 THEN "
    "'轉銷貨退回' Else '' END AS WSTA6N,CASE WHEN ISNULL((SELECT RTAKE FROM REBACKM WHERE RCOD1 "
    "= WCOD6),0) = 1 THEN 'Y' ELSE '' END AS RTAKE");
}  // namespace

HistoryReader HistoryReader::of(const Session& session, bool taxIncludedLotPrices) {
    HistoryReader r;
    r.allSalesmen = session.hasRight(355);
    r.allDepartments = session.hasRight(1306);
    r.purchasePrices = session.hasRight(367);
    r.lotPurchasePrice = session.hasRight(926);
    r.taxIncludedLotPrices = taxIncludedLotPrices;
    r.staffCode = session.staffCode;
    r.departmentNo = session.departmentNo;
    return r;
}

const QList<HistoryGrid>& AllHistoryGrids() {
    static const QList<HistoryGrid> all = {
        HistoryGrid::Sales,         HistoryGrid::SalesReturns, HistoryGrid::PurchaseReturns,
        HistoryGrid::PosSales,      HistoryGrid::PosReturns,   HistoryGrid::Transfers,
        HistoryGrid::OpenPurchases, HistoryGrid::OpenOrders,   HistoryGrid::Locations,
        HistoryGrid::RepairParts,   HistoryGrid::Lots,
    };
    return all;
}

HistoryGridInfo InfoOf(HistoryGrid grid) {
    const QString hinx = QStringLiteral("HINX");
    switch (grid) {
        case HistoryGrid::Sales:
            return {QStringLiteral("DG7"), 4, QStringLiteral("查無任何銷貨記錄!"), hinx};
        case HistoryGrid::SalesReturns:
            return {QStringLiteral("DGB"), 5, QStringLiteral("查無任何銷退記錄!"), hinx};
        case HistoryGrid::PurchaseReturns:
            return {QStringLiteral("DGO"), 2, QStringLiteral("查無相關退貨資料"), {}};
        case HistoryGrid::PosSales:
            return {QStringLiteral("DG15"), 11, QStringLiteral("查無任何POS銷貨記錄!"), hinx};
        case HistoryGrid::PosReturns:
            return {QStringLiteral("DG15"), 12, QStringLiteral("查無任何POS銷貨記錄!"), hinx};
        case HistoryGrid::Transfers:
            return {QStringLiteral("DG16"), 13, QStringLiteral("查無任何調撥記錄!"), hinx};
        case HistoryGrid::OpenPurchases:
            return {QStringLiteral("DG17"), 14, QStringLiteral("查無任何採購未到記錄!"), hinx};
        case HistoryGrid::OpenOrders:
            return {QStringLiteral("DG18"), 15, QStringLiteral("查無任何訂單未出記錄!"), hinx};
        case HistoryGrid::Locations:
            return {QStringLiteral("DG19"), 16, QStringLiteral("查無任何儲位記錄!"), hinx};
        case HistoryGrid::RepairParts:
            return {QStringLiteral("DG21"), 19, QStringLiteral("查無任何維修耗料記錄!"), hinx};
        case HistoryGrid::Lots:
            return {QStringLiteral("DG13"),
                    10,
                    QStringLiteral("查無相關批號資料,或批號剩餘數量已全部是零"),
                    {}};
        case HistoryGrid::CustomerSales:
            return {QStringLiteral("DG10"), 6, QStringLiteral("查無該客戶交易歷史"), {}, 9};
        case HistoryGrid::CustomerRepairs:
            return {QStringLiteral("DG20"), 17, QStringLiteral("查無該客戶維修歷史"),
                    QStringLiteral("WCOD2")};
    }
    return {};
}

namespace {
// What differs from grid to grid besides the columns.
struct Pieces {
    QString source;      // table and index hint
    QString key;         // the composite key expression
    QString itemHead;    // the row filter up to the item code
    QString filterTail;  // the row filter after the item code and the restriction
    QString ascending;   // "ORDER BY HCOD1,HSEQ"
    QString descending;  // "ORDER BY HCOD1 DESC,HSEQ DESC"
    QString patternHead;  // the customer grids: the item pattern's condition
};

Pieces makePieces(HistoryGrid grid) {
    auto orders = [](const char* a, const char* b) {
        return std::pair(
            QStringLiteral("ORDER BY %1,%2").arg(QLatin1String(a), QLatin1String(b)),
            QStringLiteral("ORDER BY %1 DESC,%2 DESC").arg(QLatin1String(a), QLatin1String(b)));
    };
    auto make = [&](const char* source, QString key, const char* head, const char* tail,
                    const char* a, const char* b) {
        const auto [up, down] = orders(a, b);
        return Pieces{QString::fromUtf8(source),
                      std::move(key),
                      QString::fromUtf8(head),
                      QString::fromUtf8(tail),
                      up,
                      down,
                      {}};
    };
    // By customer: item first, then the grid's own key columns.
    auto byCustomer = [](const char* source, const char* key, const char* head,
                         const char* pattern, const char* order) {
        const QStringList columns = QString::fromLatin1(order).split(u',');
        return Pieces{QString::fromUtf8(source),
                      QString::fromUtf8(key),
                      QString::fromUtf8(head),
                      {},
                      QStringLiteral("ORDER BY ") + columns.join(u','),
                      QStringLiteral("ORDER BY ") + columns.join(QStringLiteral(" DESC,")) +
                          QStringLiteral(" DESC"),
                      QString::fromUtf8(pattern)};
    };
    switch (grid) {
        case HistoryGrid::Sales:
            return make("HISTIN WITH (INDEX = HISTIN_HICOD)", fixedKey("HCOD1", "HSEQ"),
                        "SystemVisible = 1 AND HICOD = ", "", "HCOD1", "HSEQ");
        case HistoryGrid::SalesReturns:
            return make("HISTOU WITH (INDEX = HISTOU_HICOD)", fixedKey("HCOD1", "HSEQ"),
                        "SystemVisible = 1 AND HICOD = ", "", "HCOD1", "HSEQ");
        case HistoryGrid::PurchaseReturns:
            return make("VISEOU WITH (INDEX = VISEOU_VICOD)",
                        QStringLiteral("(VCOD1 + CONVERT(CHAR(5),(10000 + VOSEQ)))"),
                        "SystemVisible = 1 AND VICOD = ", "", "VCOD1", "VOSEQ");
        case HistoryGrid::PosSales:
            return make("RETAILD WITH (INDEX = RETAILD2_INX)", fixedKey("RCOD1", "RSEQ"),
                        "RIDT = '0' AND RICOD = ", "", "RCOD1", "RSEQ");
        case HistoryGrid::PosReturns:
            return make("RETAILD WITH (INDEX = RETAILD2_INX)", fixedKey("RCOD1", "RSEQ"),
                        "RIDT = '1' AND RICOD = ", "", "RCOD1", "RSEQ");
        case HistoryGrid::Transfers:
            return make("TRAN1 WITH (INDEX = TRAN1_INX)", fixedKey("TCCOD", "TSEQ"), "TICOD = ", "",
                        "TCCOD", "TSEQ");
        case HistoryGrid::OpenPurchases:
            return make("SISE WITH (INDEX = SISE1_INX)", fixedKey("SCOD1", "SSEQ"),
                        "SICOD = ", " AND (SINUM-SONUM) > 0 AND SINYN = 'N'", "SCOD1", "SSEQ");
        case HistoryGrid::OpenOrders:
            return make("ORSUB", fixedKey("OCOD1", "OSEQ"),
                        "OICOD = ", " AND OINYN IN('N','') AND ONNO > 0", "OCOD1", "OSEQ");
        case HistoryGrid::Locations:
            return make("ITEMP WITH (INDEX = KITEMP)", QStringLiteral("(ITCOD + IICOD)"),
                        "ICODE = ", "", "ITCOD", "IICOD");
        case HistoryGrid::RepairParts:
            return make("REBACKD WITH (INDEX = REBACKD_INX2)", fixedKey("RCOD1", "RSEQ"),
                        "RICOD = ", "", "RCOD1", "RSEQ");
        case HistoryGrid::Lots:
            return make("VISEIN", QStringLiteral("VCOD1 + VCOD1SEQ"),
                        "VICOD = ", " AND VCOD1NUM != 0 AND VCOD1SEQ != ''", "VCOD1", "VCOD1SEQ");
        case HistoryGrid::CustomerSales:
            return byCustomer("HISTIN WITH (INDEX = HISTIN_HPCOD)",
                              "(CONVERT(CHAR(17),HICOD) + HCOD1 + CONVERT(CHAR(5),(10000 + HSEQ)))",
                              "SystemVisible = 1 AND HPCOD = ", " AND HICOD Like ",
                              "HICOD,HCOD1,HSEQ");
        case HistoryGrid::CustomerRepairs:
            return byCustomer("WORKER WITH (INDEX = WORKER_WPCOD)", "WCOD2", "WPCOD = ",
                              " AND WICOD Like ", "WICOD,WCOD2");
    }
    return {};
}

// The pieces of every grid, made once: every page's statements are built from them.
const Pieces& piecesOf(HistoryGrid grid) {
    static const std::vector<Pieces> all = [] {
        std::vector<Pieces> pieces;
        for (int g = 0; g <= int(HistoryGrid::CustomerRepairs); ++g)
            pieces.push_back(makePieces(HistoryGrid(g)));
        return pieces;
    }();
    return all[size_t(grid)];
}

// The lot grid's price column: masked, tax included, the item's cost or the lot's own price.
QString lotPrice(const HistoryReader& r) {
    if (!r.purchasePrices) return Masked;
    if (r.taxIncludedLotPrices)
        return QStringLiteral(
            "VUNIT = CASE WHEN (SELECT BTAXM FROM BUYSIN WHERE BCOD1 = VCOD1) > 0 THEN VUNIT * "
            "1.03 ELSE VUNIT END");
    if (!r.lotPurchasePrice)
        return QStringLiteral("(select isour2 from item1 where icode1 = vicod) as VUNIT");
    return QStringLiteral("VUNIT");
}

QString lotColumns(const HistoryReader& r) {
    return QStringLiteral("VCOD1SEQ,VCOD1,VPNAM,") + lotPrice(r) +
           QStringLiteral(",VINUM,VCOD1NUM");
}
}  // namespace

HistoryStatements::HistoryStatements(HistoryGrid grid, const QString& item,
                                     const HistoryReader& reader)
    : m_grid(grid), m_item(item), m_reader(reader) {
    makeParts();
}

HistoryStatements::HistoryStatements(HistoryGrid grid, const QString& customer,
                                     const QString& itemPattern, const HistoryReader& reader)
    : m_grid(grid), m_item(customer), m_pattern(itemPattern), m_reader(reader) {
    makeParts();
}

void HistoryStatements::makeParts() {
    m_where = makeWhere();
    for (const bool firstPage : {false, true})
        for (const bool home : {false, true})
            m_columns[firstPage][home] = makeColumns(firstPage, home);
}

QString HistoryStatements::makeWhere() const {
    const Pieces& p = piecesOf(m_grid);
    QString restriction;
    auto own = [](const char* column, const QString& value) {
        return QStringLiteral(" AND %1 = ").arg(QLatin1String(column)) + SqlLiteral(value);
    };
    switch (m_grid) {
        case HistoryGrid::Sales:
            if (!m_reader.allSalesmen)
                restriction = own("HSCOD", m_reader.staffCode);
            else if (!m_reader.allDepartments)
                restriction = own("HDENO", m_reader.departmentNo);
            break;
        case HistoryGrid::SalesReturns:
            if (!m_reader.allSalesmen) restriction = own("HSCOD", m_reader.staffCode);
            break;
        case HistoryGrid::PosSales:
        case HistoryGrid::PosReturns:
            if (!m_reader.allSalesmen) restriction = own("RSCOD", m_reader.staffCode);
            break;
        case HistoryGrid::OpenOrders:
            if (!m_reader.allSalesmen) restriction = own("OSCOD", m_reader.staffCode);
            break;
        case HistoryGrid::CustomerSales:
            if (!m_reader.allSalesmen) restriction = own("HSCOD", m_reader.staffCode);
            break;
        case HistoryGrid::CustomerRepairs:
            if (!m_reader.allSalesmen) restriction = own("WSC13", m_reader.staffCode);
            break;
        default:
            break;
    }
    const QString pattern =
        p.patternHead.isEmpty() ? QString() : p.patternHead + SqlLiteral(m_pattern);
    return p.itemHead + SqlLiteral(m_item) + pattern + restriction + p.filterTail;
}

QString HistoryStatements::makeColumns(bool firstPage, bool home) const {
    const QString& key = piecesOf(m_grid).key;
    const QString hinx = key + QStringLiteral(" AS HINX");
    switch (m_grid) {
        case HistoryGrid::Sales:
            return SalesHead + hinx + QStringLiteral(",HCONS,HCOD1SEQ") +
                   (m_reader.allSalesmen ? SalesTax : QString());
        case HistoryGrid::SalesReturns:
            return SalesHead + hinx + QStringLiteral(",HCONS");
        case HistoryGrid::PurchaseReturns:
            return QStringLiteral("VCOD1,VPNAM,VTCOD,VINU2 AS VINUM,VPOIN,") +
                   (m_reader.purchasePrices ? QStringLiteral("VUNI2 AS VUNIT") : Masked) + u',' +
                   key + (home ? QStringLiteral(" AS VINX") : QString());
        case HistoryGrid::PosSales:
        case HistoryGrid::PosReturns:
            return QStringLiteral(
                       "RCOD1,RPNAM,RSNAM,RTCOD,ISNULL(RINU2,RINUM) AS RINUM,RPOIN,"
                       "ISNULL(RUNI2,(RTOTA / RINU2)) AS RUNIT,") +
                   hinx + QStringLiteral(",RCONS,RCOD1SEQ");
        case HistoryGrid::Transfers:
            return QStringLiteral(
                       "TCCOD,(SELECT MUSER FROM MTRAN WHERE MTRAN.MCODE = TRAN1.TCCOD) AS MUSER,"
                       "TSCO1,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = '1' AND ITYP.ITCOD = "
                       "TRAN1.TSCO1) AS TSNA1,TSCO2,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = "
                       "'1' AND ITYP.ITCOD = TRAN1.TSCO2) AS TSNA2,TNUMB,TPOIN,") +
                   hinx + QStringLiteral(",TCOD1SEQ");
        case HistoryGrid::OpenPurchases:
            return QStringLiteral(
                       "SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,ISNULL((SELECT SDAT2 FROM "
                       "SBIN WHERE SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK,") +
                   hinx;
        case HistoryGrid::OpenOrders:
            return QStringLiteral("OCOD1,OCNAM,") +
                   (firstPage ? QStringLiteral("ITCOD,") : QString()) +
                   QStringLiteral(
                       "ISNULL(OINU2,OINUM) AS OINUM,OPOIN,ONNO,CASE WHEN OINUM != OINU2 THEN "
                       "CONVERT(VARCHAR,((OINUM / OINU2) * ONNO)) + (SELECT IPOIN FROM ITEM "
                       "WHERE ICODE = OICOD) ELSE '' END AS 'IPOIN', ISNULL((SELECT ODAT1 FROM "
                       "ORDET WHERE ORDET.OCOD1 = ORSUB.OCOD1),'') AS ODAT1,OBACK,OCOD1SEQ,") +
                   hinx;
        case HistoryGrid::Locations:
            return QStringLiteral(
                       "ITCOD,IICOD,(SELECT PINAM FROM PLACE WHERE PTCOD = ITCOD AND PICOD = "
                       "IICOD) AS IINAM,") +
                   hinx;
        case HistoryGrid::RepairParts:
            return QStringLiteral("RCOD1,RSEQ,RPNAM,RSTA1,RICOD,RINAM,RTCOD,RINU2,RPOIN,") +
                   RepairState + ForwardState + hinx;
        case HistoryGrid::Lots:
            return lotColumns(m_reader);
        case HistoryGrid::CustomerSales:
            return QStringLiteral(
                       "HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
                       "'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,") +
                   key + SalesTax;
        case HistoryGrid::CustomerRepairs:
            return QStringLiteral("WPNAM,WSN13,WCOD2,WICOD,WINAM,WTCOD,WINU2,WPOIN,") + RepairStates;
    }
    return {};
}

QString HistoryStatements::keyAtMost(const QString& key) const {
    return QStringLiteral(" AND ") % piecesOf(m_grid).key % QStringLiteral(" <= ") %
           SqlLiteral(key);
}

QString HistoryStatements::keyAtLeast(const QString& key) const {
    return QStringLiteral(" AND ") % piecesOf(m_grid).key % QStringLiteral(" >= ") %
           SqlLiteral(key);
}

QString HistoryStatements::boundary(const QString& condition) const {
    const Pieces& p = piecesOf(m_grid);
    // The purchase return and customer grids give their key no name here.
    const QString alias = m_grid == HistoryGrid::PurchaseReturns || byCustomer()
                              ? QString()
                              : QStringLiteral(" AS HINX");
    // Each page's texts are made in one piece (%), without a copy per part.
    return QStringLiteral("SELECT TOP 15 ") % p.key % alias % QStringLiteral(" FROM ") % p.source %
           QStringLiteral(" WHERE ") % where() % condition % u' ' % p.descending;
}

QString HistoryStatements::rows(const QString& head, const QString& condition,
                                bool firstPage) const {
    const Pieces& p = piecesOf(m_grid);
    return head % columns(firstPage, condition.isEmpty()) % QStringLiteral(" FROM ") % p.source %
           QStringLiteral(" WHERE ") % where() % condition % u' ' % p.ascending;
}

QString HistoryStatements::firstBoundary() const { return boundary({}); }

QString HistoryStatements::firstRows(const QString& lower) const {
    if (byCustomer()) return homeRows();
    if (m_grid == HistoryGrid::Lots)
        return QStringLiteral("SELECT * FROM (SELECT TOP 15 ") + lotColumns(m_reader) +
               QStringLiteral(" FROM VISEIN WHERE ") + where() +
               QStringLiteral(
                   " ORDER BY VCOD1,VCOD1SEQ DESC) AS TABTEMP ORDER BY VCOD1,VCOD1SEQ + ' ' ");
    return rows(QStringLiteral("SELECT "), keyAtLeast(lower), true);
}

QString HistoryStatements::upBoundary(const QString& first) const {
    return boundary(keyAtMost(first));
}

QString HistoryStatements::upRows(const QString& lower) const {
    return rows(QStringLiteral("SELECT TOP 15 "), keyAtLeast(lower), false);
}

QString HistoryStatements::downRows(const QString& last) const {
    return rows(QStringLiteral("SELECT TOP 15 "), keyAtLeast(last), false);
}

QString HistoryStatements::homeRows() const {
    return rows(QStringLiteral("SELECT TOP 15 "), {}, false);
}

QString HistoryStatements::endBoundary() const { return firstBoundary(); }

QString HistoryStatements::endRows(const QString& lower) const {
    // The repair orders' bound compares the order code while the page is in item order, so
    // rows of every item pass it: the customer grids take fifteen of them, as every page does.
    return rows(byCustomer() ? QStringLiteral("SELECT TOP 15 ") : QStringLiteral("SELECT "),
                keyAtLeast(lower), true);
}

QString HistoryStatements::lotBefore(const QString& key) const {
    return QStringLiteral("SELECT TOP 2 ") + lotColumns(m_reader) +
           QStringLiteral(" FROM VISEIN WHERE ") + where() + keyAtMost(key) +
           QStringLiteral(" ORDER BY VCOD1 DESC,VCOD1SEQ DESC");
}

QString HistoryStatements::lotAfter(const QString& key) const {
    return QStringLiteral("SELECT TOP 2 ") + lotColumns(m_reader) +
           QStringLiteral(" FROM VISEIN WHERE ") + where() + keyAtLeast(key) +
           QStringLiteral(" ORDER BY VCOD1,VCOD1SEQ");
}

QString HistoryStatements::lotStock(const QString& lot) {
    return QStringLiteral("SELECT STCOD,INUMB FROM BUYSINCODE WHERE BCOD1SEQ = ") +
           SqlLiteral(lot) + QStringLiteral(" AND INUMB <> 0");
}

namespace HistoryViews {
QString warehouseStock(const QString& item) {
    return QStringLiteral(
               "SELECT STCOD,STNAM,SNUMB,ISNULL((SELECT SUM(SINUM - SONUM) FROM SISE WHERE "
               "SINYN = 'N' AND SISE.STCOD = STOC.STCOD AND SISE.SICOD = ") +
           SqlLiteral(item) + QStringLiteral("),0) AS SNUM2 FROM STOC WHERE SITEM = ") +
           SqlLiteral(item) + QStringLiteral(" ORDER BY STCOD");
}

QString goodsReceived(const QString& item) {
    return QStringLiteral("SELECT SIONO,STTARG,ENUMB FROM SINOUT WHERE SINOU = 'C' AND SICODE = ") +
           SqlLiteral(item) + QStringLiteral(" ORDER BY SIONO DESC");
}

QString serialHoldings(const QString& item) {
    return QStringLiteral(
               "SELECT s.SerialCode,s.STCOD,(SELECT ITNAM FROM ITYP WHERE ITCOD = s.STCOD AND "
               "ITYPE = 1) AS STNAM,s.Quantity FROM SerialInOutTotal AS s WHERE s.ICODE = ") +
           SqlLiteral(item) +
           QStringLiteral(" AND s.SerialCode != '' AND S.Quantity != 0 ORDER BY s.SerialCode");
}
}  // namespace HistoryViews
