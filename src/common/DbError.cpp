#include "DbError.h"

QString DbError::hexNumber() const {
    return QStringLiteral("0x%1").arg(m_number, 8, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
}
