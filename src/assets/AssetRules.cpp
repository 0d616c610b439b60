#include "AssetRules.h"

#include "DbAccess.h"
#include "Recordset.h"
#include "Values.h"

namespace AssetRules {

DerivedAmounts Derive(const QString& cost, const QString& residual, const QString& amortised,
                      const QString& months) {
    const double base = ToNumber(cost) - ToNumber(residual) - ToNumber(amortised);
    const double m = ToNumber(months);
    DerivedAmounts result;
    if (m > 0) result.perPeriod = FormatAmount(base / m);
    result.remaining = FormatAmount(base);
    return result;
}

QString AllocationAmount(const QString& share, const QString& perPeriod) {
    return FormatAmount(ToNumber(share) / 100 * ToNumber(perPeriod));
}

std::optional<FailedCheck> CheckAsset(const std::array<QString, 16>& f) {
    struct Rule {
        int field;
        bool number;  // a number that must not be 0; otherwise a text that must not be empty
        const char* message;
    };
    static const Rule rules[] = {
        {0, false, "請輸入財產編號!"},   {1, false, "請輸入財產名稱!"},
        {2, false, "請輸入財產會計科目!"}, {4, false, "請輸入每期折舊會計科目!"},
        {6, false, "請輸入累計折舊會計科目!"}, {8, false, "請輸入取得日期!"},
        {9, true, "請輸入取得原價!"},   {11, true, "請輸入耐用月數!"},
    };
    for (const Rule& r : rules) {
        const bool failed = r.number ? ToNumber(f[r.field]) == 0 : f[r.field].trimmed().isEmpty();
        if (failed) return FailedCheck{r.field, QString::fromUtf8(r.message)};
    }
    return std::nullopt;
}

}  // namespace AssetRules
