#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// The workstation's clock against the server's time that the heartbeat returns. The clock is
// set only where the per-user setting "Zq2000"/"Clock"/"FromServer" is "1" (setting it needs
// a privilege that a clerk's account usually lacks); otherwise the two are only compared.
namespace ServerClock {

struct Refusal {
    std::uint32_t number;
    QString description;
};

// Takes the server's time; a refusal when the clock should be set and the system refused.
std::optional<Refusal> take(const QDateTime& serverTime);
// Seconds between the server and this workstation at the last heartbeat.
qint64 lastDifference();

}  // namespace ServerClock
