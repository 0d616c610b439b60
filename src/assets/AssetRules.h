#pragma once

#include <QString>
#include <array>
#include <optional>

#include "DbAccess.h"

class Recordset;

// The rules of the asset register that are not about widgets.
namespace AssetRules {

// The per-period amount (C - R - A) / M and the remaining value C - R - A, from the texts of
// the cost, residual value, amount already amortised and months fields, in the amount format.
// The per-period amount is absent when the months are not above 0 (the field keeps its text).
struct DerivedAmounts {
    std::optional<QString> perPeriod;
    QString remaining;
};
DerivedAmounts Derive(const QString& cost, const QString& residual, const QString& amortised,
                      const QString& months);

// The amount of an allocation line: share / 100 x per-period amount, in the amount format.
QString AllocationAmount(const QString& share, const QString& perPeriod);

// The eight checks before an asset is saved (or its allocation opened), in their order. The
// fields are the texts of T2(0) to T2(15); the result names the first failing field and its
// message.
struct FailedCheck {
    int field;
    QString message;
};
std::optional<FailedCheck> CheckAsset(const std::array<QString, 16>& fields);

// The one-row answer of a changing procedure (DbAccess.h).
using ::ProcedureAnswer;
using ::ReadAnswer;

}  // namespace AssetRules
