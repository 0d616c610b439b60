#include "Clock.h"

namespace {
QDateTime& fixedMoment() {
    static QDateTime moment;
    return moment;
}
}  // namespace

namespace Clock {
QDateTime now() { return fixedMoment().isValid() ? fixedMoment() : QDateTime::currentDateTime(); }
QDate today() { return now().date(); }
void setFixed(const QDateTime& moment) { fixedMoment() = moment; }
}  // namespace Clock
