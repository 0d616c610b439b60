#pragma once

#include <QString>
#include <QVariant>
#include <functional>

struct HistoryReader;

// The statements and messages of the inquiry's lookups that start from a typed code: a vendor,
// a customer (sales or repairs), a lot number, an external item code, and the code lists (F2)
// of their fields. Nothing here touches a widget or the database.
namespace CodeLookups {

// Whose items an item prefix field lists.
enum class Partner { Vendor, Customer, Repairs };

// The vendor's purchase lines of the items that match the pattern, the oldest 15 by VINX; the
// price masked without right 367.
QString vendorHistory(const QString& vendor, const QString& itemPattern, bool prices);

// Enter in a code field: the code's own row, if any.
QString vendorExists(const QString& code);
QString customerExists(const QString& code);

// The pages of a code list (F2). DG4 pages through the list procedure after its first page.
QString vendorList(const QString& pattern);
// DG8, paged like the lookup grid on CCODE.
// First: the list as it opens; Home: back to its beginning by the key, with the condition of
// every other page.
enum class Page { First, Home, Up, Down, End };
QString customerList(Page page, const QString& pattern, const QString& anchor = {});
// DG5 (vendor; paged through the list procedure) and DG9 (customer, repairs).
QString partnerItems(Partner partner, Page page, const QString& partnerCode,
                     const QString& pattern, const QString& anchor = {});

// The lot number lookup and its message. The row's columns are read by name (vicod, vinam,
// vdat1, vinum, vunit, isour2, vcod1num).
QString lot(const QString& lotNumber);
QString lotMessage(const std::function<QVariant(const QString&)>& field,
                   const HistoryReader& reader);

// Items not stopped from sale whose external code matches the pattern.
QString externalCodes(const QString& pattern);

// The messages of the lookups.
namespace Messages {
inline const QString EmptyVendor = QStringLiteral("廠商代號不可空白");
inline const QString EmptyCustomer = QStringLiteral("客戶代號不可空白");
inline const QString NoVendorPurchases = QStringLiteral("查無該廠商進貨資料");
inline const QString NoCustomerSales = QStringLiteral("查無該客戶交易歷史");
inline const QString NoCustomerRepairs = QStringLiteral("查無該客戶維修歷史");
inline const QString UnknownVendor = QStringLiteral("查無相關廠商資料");
inline const QString UnknownCustomer = QStringLiteral("查無相關客戶代號");
inline const QString NoVendorItems = QStringLiteral("查無相關廠商進貨過產品代號");
inline const QString NoCustomerItems = QStringLiteral("查無該客戶購買過之下列產品代號");
inline const QString NoRepairItems = QStringLiteral("查無該客戶送修產品記錄");
inline const QString EmptyLot = QStringLiteral("請輸入批號");
inline const QString UnknownLot = QStringLiteral("查無該批號");
}  // namespace Messages
}  // namespace CodeLookups
