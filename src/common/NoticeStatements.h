#pragma once

#include <QString>

struct Session;

// The reads of the company notices (F8DATA), newest first, that the notice line and the
// bulletin board share. A user without right 355 sees the notices for every department and
// those for his own.
namespace NoticeStatements {
// The notices valid on the day (ROC text).
QString validOn(const Session& session, const QString& day);
// Every notice.
QString all(const Session& session);
}  // namespace NoticeStatements
