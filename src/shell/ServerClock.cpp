#include "ServerClock.h"

#include "Clock.h"
#include "UserSettings.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <ctime>
#endif

namespace ServerClock {
namespace {
qint64 g_difference = 0;

// The runtime's "permission denied".
constexpr std::uint32_t PermissionDenied = 70;

bool setSystemClock(const QDateTime& moment) {
#ifdef Q_OS_WIN
    const QDateTime local = moment.toLocalTime();
    SYSTEMTIME st{};
    st.wYear = WORD(local.date().year());
    st.wMonth = WORD(local.date().month());
    st.wDay = WORD(local.date().day());
    st.wHour = WORD(local.time().hour());
    st.wMinute = WORD(local.time().minute());
    st.wSecond = WORD(local.time().second());
    return SetLocalTime(&st) != 0;
#else
    timespec ts{};
    ts.tv_sec = moment.toSecsSinceEpoch();
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
#endif
}
}  // namespace

std::optional<Refusal> take(const QDateTime& serverTime) {
    if (!serverTime.isValid())
        return Refusal{PermissionDenied, QStringLiteral("伺服器時間不正確")};
    g_difference = Clock::now().secsTo(serverTime);
    if (UserSettings::get(QStringLiteral("Zq2000"), QStringLiteral("Clock"),
                          QStringLiteral("FromServer")) != QLatin1String("1"))
        return std::nullopt;
    if (!setSystemClock(serverTime)) return Refusal{PermissionDenied, QStringLiteral("沒有權限")};
    return std::nullopt;
}

qint64 lastDifference() { return g_difference; }
}  // namespace ServerClock
