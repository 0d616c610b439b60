#pragma once

#include <QDate>
#include <QList>
#include <array>
#include <cstdint>

class SqliteConnection;

// The demo company 晟嘉通科技股份有限公司 (two amount decimals) with workstations 0001 to
// 0020, six departments, four staff members and the notices of the bulletin board:
//   ADM   系統管理員  department 05  every right (all masks -1)
//   LEE   李志明      department 02  right 960 only
//   WANG  王美華      department 03  rights 351 355 362 363 371 372 960 961 962
//   CHEN  陳建宏      department 04  rights 960 961 962
// Notices are dated around the given day: valid from two years before to five years after
// it, for every department and for departments 02 and 03, one starting and one ending on the
// day, one expired and one not yet valid.
namespace DemoData {
// Fills every table that is still empty; returns the number of rows added.
int fill(SqliteConnection& db, const QDate& today);

// The 41 masks that hold exactly the given rights (bit b of mask c is right 32 * c + b).
std::array<std::int32_t, 41> rightMasks(const QList<int>& rights);
}  // namespace DemoData
