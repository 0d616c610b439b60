#include "SqlLiteral.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

QString SqlDigitsLiteral(const QString& digits) {
    const QString kept = digits.trimmed();
    const bool bare = !kept.isEmpty() && kept.size() <= 38 &&
                      std::all_of(kept.begin(), kept.end(),
                                  [](QChar c) { return c >= u'0' && c <= u'9'; });
    return bare ? kept : SqlLiteral(digits);
}

QString SqlLiteral(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QStringLiteral("NULL");
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return value.toString();
        case QMetaType::Double:
        case QMetaType::Float: {
            // A number the server cannot hold is no value at all.
            const double number = value.toDouble();
            return std::isfinite(number) ? QString::number(number, 'g', 17)
                                         : QStringLiteral("NULL");
        }
        case QMetaType::QDate:
            return '\'' + value.toDate().toString(Qt::ISODate) + '\'';
        case QMetaType::QDateTime:
            return '\'' + value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + '\'';
        default:
            break;
    }
    QString text = value.toString();
    text.replace('\'', QStringLiteral("''"));
    return '\'' + text + '\'';
}
