#include "NoticeStatements.h"

#include "Session.h"
#include "SqlLiteral.h"

namespace NoticeStatements {
namespace {
const QString Order = QStringLiteral(" ORDER BY FBEGD DESC,FSEQ DESC");
QString ownDepartment(const Session& s) {
    return QStringLiteral("FDEPNO = '' OR FDEPNO = ") + SqlLiteral(s.departmentNo);
}
}  // namespace

QString validOn(const Session& s, const QString& day) {
    QString text = QStringLiteral("SELECT * FROM F8DATA WHERE FBEGD <= ") + SqlLiteral(day) +
                   QStringLiteral(" AND FEND >= ") + SqlLiteral(day);
    if (!s.hasRight(355)) text += QStringLiteral(" AND (") + ownDepartment(s) + u')';
    return text + Order;
}

QString all(const Session& s) {
    if (s.hasRight(355)) return QStringLiteral("SELECT * FROM F8DATA") + Order;
    return QStringLiteral("SELECT * FROM F8DATA WHERE ") + ownDepartment(s) + Order;
}
}  // namespace NoticeStatements
