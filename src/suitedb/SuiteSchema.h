#pragma once

#include <QString>
#include <QStringList>

class SqliteConnection;

// The tables of the suite's database that the module reads and writes, with their indexes,
// as the suite's SQL Server holds them. Column kinds:
//   texts    TEXT COLLATE TSQL NOT NULL DEFAULT '' (codes, names, ROC date texts yyy.mm.dd)
//   amounts  REAL NOT NULL DEFAULT 0 (money and quantities)
//   counts   INTEGER NOT NULL DEFAULT 0 (line numbers, months, states, flags)
// and a few nullable ones where the statements expect NULL (ISNULL(HINU3,HINUM) and so on).
//
// Session:   COMP company, LSTA workstations, Depart25 departments, SALE staff with their
//            right masks R00..R40, F8DATA notices of the bulletin board.
// Assets:    Acco chart of accounts, JE closing date, Asset register, Assetd department
//            split, Assets depreciation schedule (ASOUR empty) and postings (ASOUR the
//            voucher), Asset_Temp and Assetd_Temp work rows keyed by the workstation (LCODE).
// Inquiry:   ITEM item master with ITEM1 (bar codes, cost, network prices) and ITEM3 (sale
//            stop, dealer prices); ITEM keeps the item's totals in its base unit: INUMB the
//            stock, ISISE the quantity on open purchase orders, ORSUB the quantity still to
//            deliver on open customer orders (kept by whatever writes the orders, so that the
//            item list never sums order lines); CUST customers, PART vendors; ITYP
//            warehouses, STOC stock per warehouse (also indexed by warehouse, for the list of
//            one warehouse's items), PLACE locations and ITEMP an item's locations; the history
//            tables HISTIN/POSEIN sales, HISTOU sales returns, VISEIN/BUYSIN purchases with
//            their lots and BUYSINCODE lot stock per warehouse, VISEOU purchase returns,
//            RETAILD point of sale, TRAN1/MTRAN transfers, SISE/SBIN purchase orders,
//            ORSUB/ORDET customer orders, REBACKD/REBACKM repair parts, WORKER repair
//            orders, SINOUT goods received, SerialInOutTotal serial holdings, and the view
//            VF8J (purchase lines by vendor with the paging key VINX).
//
// History lines are keyed by document code and line number; each item's lines are indexed
// by (item, document code, line number), so that a page of one item's history is read
// from the index in key order whatever the size of the table.
namespace SuiteSchema {
// The paging keys fill a code with blanks to a width in bytes of the suite's code page, as
// CONVERT(CHAR(n)) does (a Chinese character takes two), but a longer code stands whole
// rather than cut: a key always names its line. filled() is that, as SQL of a text column.
QString filled(const QString& column, int bytes);
// VINX, the vendor history's key (VF8J and SP_F8 'DG6'), as SQL of VISEIN's columns: the item
// code filled to VendorKeyItemBytes, the document code, 10000 + the line number.
constexpr int VendorKeyItemBytes = 17;
QString vendorKey();

// Creates whatever is missing, also columns declared since the file was made, and makes anew
// an index whose declaration changed since; returns the number of tables, views, indexes and
// columns created or made anew.
// schema names an attached database ("ZqPro4"); empty for the main one.
int create(SqliteConnection& db, const QString& schema = QString());

// The tables that the file holds with another definition than the one declared now (made
// before a column was declared in another place, or before the table was kept in the order of
// its key); create cannot change them.
QStringList tablesMadeOtherwise(SqliteConnection& db);

// The names of every table and view, and of every index that the schema declares.
QStringList tableNames();
QStringList indexNames();
}  // namespace SuiteSchema
