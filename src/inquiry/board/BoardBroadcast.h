#pragma once

#include <QList>
#include <functional>

#include "BoardRules.h"
#include "CompanyGroup.h"

// "儲存 8VN": a notice added on each sister company of the group in turn. A company is tested
// with "Select 'Exists'" on a connection of its own before the notice goes there; one that
// cannot be reached, or whose database refuses the notice, fails alone and the next is served.
// Progress: each step's text as it happens.
namespace BoardBroadcast {
using Progress = std::function<void(const QString& text)>;

// How many companies took the notice.
int send(const QList<CompanyGroup::Company>& companies, const QString& user,
         const BoardRules::Fields& fields, const Progress& progress);
// "共完成了 n 家公司之佈告欄更新"
QString summary(int done);
}  // namespace BoardBroadcast
