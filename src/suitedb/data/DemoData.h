#pragma once

#include <QDate>
#include <QList>
#include <array>
#include <cstdint>

class SqliteConnection;

// The demo company 晟嘉通科技股份有限公司 (two amount decimals) with workstations 0001 to
// 0020, nine departments (01 總經理室 ... 06 採購部, 07 生產部, 08 維修服務部, 09 門市部),
// eight staff members and the notices of the bulletin board, its fixed assets (AssetData),
// its items, partners and warehouses (ItemCatalogue) and their history (HistoryData). The
// item inquiry's rights are 57 926 355 1306 367 645-648 934 (see staff in DemoData.cpp):
//   ADM   系統管理員  department 05  every right (all masks -1)
//   LEE   李志明      department 02  right 960 only (a salesman)
//   WANG  王美華      department 03  rights 351 355 362 363 371 372 960 961 962 and the
//                                    inquiry's
//   CHEN  陳建宏      department 04  rights 960 961 962
//   LIN   林淑芬      department 02  the inquiry's but 355 (a salesman: her own sales lines)
//   HUAN  黃志偉      department 02  the inquiry's but 1306 (his department's sales lines)
//   CHOU  周佳穎      department 04  the inquiry's but 57 926 367 645-648 (no prices, no cost)
//   TSAI  蔡宗翰      department 09  the inquiry's but 934 (the list of warehouse 03 only)
// Notices are dated around the given day: valid from two years before to five years after
// it, for every department and for departments 02 and 03, one starting and one ending on the
// day, one expired and one not yet valid.
namespace DemoData {
// Fills every table that is still empty; returns the number of rows added.
int fill(SqliteConnection& db, const QDate& today);

// Fills the departments and the staff with their rights where they are still empty (also the
// group's sister companies have them, so that the same users may write their notices).
int fillPeople(SqliteConnection& db);

// Whether the table has no row yet (the parts of the demo data fill only empty tables).
bool isEmpty(SqliteConnection& db, const char* table);

// An amount rounded to cents, as the demo data stores amounts.
double cents(double value);

// The 41 masks that hold exactly the given rights (bit b of mask c is right 32 * c + b).
std::array<std::int32_t, 41> rightMasks(const QList<int>& rights);
}  // namespace DemoData
