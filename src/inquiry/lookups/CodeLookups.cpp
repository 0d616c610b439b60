#include "CodeLookups.h"

#include <QStringList>

#include "HistoryGrids.h"
#include "SqlLiteral.h"
#include "Values.h"

namespace CodeLookups {
namespace {
// A list paged on its code like the lookup grid: the first page, the page ending at the first
// code (Page Up), the page from the last code (Page Down) and the last page. `condition`
// follows the pattern in every statement.
struct CodeList {
    QString columns;  // "CCODE,CNAM2"
    QString table;
    QString code;
    QString condition;

    QString like(const QString& pattern) const {
        return code + QStringLiteral(" Like ") + SqlLiteral(pattern) + condition;
    }
    QString order() const { return QStringLiteral(" ORDER BY ") + code; }
    QString page(Page page, const QString& pattern, const QString& anchor) const {
        const QString head = QStringLiteral("SELECT TOP 15 ") + columns + QStringLiteral(" FROM ") +
                             table + QStringLiteral(" WHERE ");
        const QString lastCodes = QStringLiteral("SELECT TOP 15 ") + code +
                                  QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ") +
                                  like(pattern);
        switch (page) {
            case Page::First:
            case Page::Home:
                return head + like(pattern) + order();
            case Page::Up:
                return head + code + QStringLiteral(" >=(SELECT MIN(") + code +
                       QStringLiteral(") FROM ") + table + QStringLiteral(" WHERE ") + code +
                       QStringLiteral(" IN(") + lastCodes + QStringLiteral(" AND ") + code +
                       QStringLiteral(" <= ") + SqlLiteral(anchor) + order() +
                       QStringLiteral(" DESC)) AND ") + like(pattern) + order();
            case Page::Down:
                return head + code + QStringLiteral(" >=") + SqlLiteral(anchor) +
                       QStringLiteral(" AND ") + like(pattern) + order();
            case Page::End:
                return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table +
                       QStringLiteral(" WHERE ") + code + QStringLiteral(" IN(") + lastCodes +
                       order() + QStringLiteral(" DESC)") + order();
        }
        return {};
    }
};

const QString ItemColumns = QStringLiteral("ICODE,INAME,INUMB,ICONS");

// The items of a partner as the first page of the list writes them, and as its other pages do.
QString firstItemCondition(Partner partner, const QString& code) {
    switch (partner) {
        case Partner::Vendor:
            return QStringLiteral(" AND ICODE IN(SELECT VICOD FROM VF8J WHERE VPCOD  = ") +
                   SqlLiteral(code) + u')';
        case Partner::Customer:
            return QStringLiteral(
                       " AND ICODE IN(SELECT HICOD FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE "
                       "HPCOD  = ") +
                   SqlLiteral(code) + u')';
        case Partner::Repairs:
            return QStringLiteral(" AND ICODE IN(SELECT WICOD FROM WORKER WHERE WPCOD  = ") +
                   SqlLiteral(code) + u')';
    }
    return {};
}

QString pagedItemCondition(Partner partner, const QString& code) {
    switch (partner) {
        case Partner::Vendor:
            return QStringLiteral(" AND ICODE IN(SELECT VICOD FROM VF8J WHERE VPCOD = ") +
                   SqlLiteral(code) + QStringLiteral(" GROUP BY VICOD)");
        case Partner::Customer:
            return QStringLiteral(
                       " AND ICODE IN(SELECT HICOD FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE "
                       "HPCOD = ") +
                   SqlLiteral(code) + QStringLiteral(" GROUP BY HICOD)");
        case Partner::Repairs:
            return QStringLiteral(" AND ICODE IN(SELECT WICOD FROM WORKER WHERE WPCOD = ") +
                   SqlLiteral(code) + QStringLiteral(" GROUP BY WICOD)");
    }
    return {};
}
}  // namespace

QString vendorHistory(const QString& vendor, const QString& itemPattern, bool prices) {
    return QStringLiteral("SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN,") +
           (prices ? QStringLiteral("VUNIT,VINX ") : QStringLiteral(" '***.**' AS VUNIT,VINX ")) +
           QStringLiteral("FROM VF8J WHERE VPCOD =") + SqlLiteral(vendor) +
           QStringLiteral(" AND VICOD Like ") + SqlLiteral(itemPattern) +
           QStringLiteral(" ORDER BY VINX");
}

QString vendorExists(const QString& code) {
    return QStringLiteral("SELECT PCODE FROM PART WHERE PCODE =") + SqlLiteral(code);
}

QString customerExists(const QString& code) {
    return QStringLiteral("SELECT CCODE FROM CUST WHERE CCODE =") + SqlLiteral(code);
}

QString vendorList(const QString& pattern) {
    return QStringLiteral("SELECT TOP 15 PCODE,PNAM2 FROM PART WHERE PCODE Like ") +
           SqlLiteral(pattern) + QStringLiteral(" ORDER BY PCODE");
}

QString customerList(Page page, const QString& pattern, const QString& anchor) {
    return CodeList{QStringLiteral("CCODE,CNAM2"), QStringLiteral("CUST"), QStringLiteral("CCODE"),
                    {}}
        .page(page, pattern, anchor);
}

QString partnerItems(Partner partner, Page page, const QString& partnerCode,
                     const QString& pattern, const QString& anchor) {
    const QString condition = page == Page::First ? firstItemCondition(partner, partnerCode)
                                                  : pagedItemCondition(partner, partnerCode);
    return CodeList{ItemColumns, QStringLiteral("ITEM"), QStringLiteral("ICODE"), condition}.page(
        page, pattern, anchor);
}

QString lot(const QString& lotNumber) {
    return QStringLiteral(
               "select vicod,vinam,vdat1,vinum,vunit,(select isour2 from item1 where icode1 = "
               "vicod) as isour2,vcod1num from visein where vcod1seq = ") +
           SqlLiteral(lotNumber);
}

// One part a line: what was bought, when, how many, at what price, and what is left.
QString lotMessage(const std::function<QVariant(const QString&)>& field,
                   const HistoryReader& reader) {
    const auto text = [&](const char* column) {
        const QVariant v = field(QLatin1String(column));
        return v.isNull() ? QString() : v.toString();
    };
    QString price = QStringLiteral("該批進貨單價為 [***.**]");
    if (reader.purchasePrices)
        price = QStringLiteral("該批進貨單價為 [") +
                FormatAmount(field(reader.lotPurchasePrice ? QStringLiteral("vunit")
                                                           : QStringLiteral("isour2"))) +
                u']';
    return QStringList{
        QStringLiteral("該批號產品代號為[ ") + text("vicod") + QStringLiteral(" ] "),
        QStringLiteral("產品名稱[ ") + text("vinam") + QStringLiteral(" ] "),
        QStringLiteral("進貨日期[ ") + text("vdat1") + QStringLiteral(" ] "),
        QStringLiteral("該批號當時進貨數量[ ") + FormatWhole(field(QStringLiteral("vinum"))) +
            QStringLiteral(" ] "),
        price,
        QStringLiteral("目前該批號剩餘數量為 [") + FormatWhole(field(QStringLiteral("vcod1num"))) +
            u']',
    }
        .join(u'\n');
}

QString externalCodes(const QString& pattern) {
    return QStringLiteral(
               "SELECT ICODE,INAME,ICOD2 FROM ITEM,ITEM1,ITEM3 WHERE ICODE = ICODE3 AND  ICODE = "
               "ICODE1 AND STOPSALE = 0 AND ICOD2 <> '' AND ICOD2 Like ") +
           SqlLiteral(pattern) + QStringLiteral(" ORDER BY ICOD2");
}
}  // namespace CodeLookups
