#include "ProcedureRegistry.h"

#include <limits>

#include "DbError.h"
#include "SqlErrors.h"

QString ProcedureCall::text(qsizetype i) const {
    if (i < 0 || i >= m_arguments.size() || !m_arguments[i].isValid()) return {};
    const QVariant& v = m_arguments[i];
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 17);
    return v.toString();
}

qlonglong ProcedureCall::integer(qsizetype i, qlonglong fallback) const {
    if (isNull(i)) return fallback;
    const QVariant& v = m_arguments[i];
    if (v.typeId() == QMetaType::Double) return qlonglong(v.toDouble());
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    return ok ? n : fallback;
}

bool ProcedureCall::isNull(qsizetype i) const {
    return i < 0 || i >= m_arguments.size() || !m_arguments[i].isValid();
}

void ProcedureRegistry::add(const QString& name, const QStringList& parameters, int required,
                            Procedure body, ProcedureAccess access) {
    ProcedureDefinition procedure{name, {}, {}, required, std::move(body), access};
    for (const QString& declaration : parameters) {
        const QStringList words = declaration.split(u' ', Qt::SkipEmptyParts);
        Q_ASSERT_X(
            words.size() == 1 || (words.size() == 2 && words[1].toUpper() == QLatin1String("INT")),
            "ProcedureRegistry::add", "a parameter is \"@NAME\" or \"@NAME INT\"");
        procedure.parameters.append(words.value(0));
        procedure.integers.append(words.size() == 2);
    }
    m_procedures.insert(name.toUpper(), std::move(procedure));
}

const ProcedureDefinition* ProcedureRegistry::find(const QString& name) const {
    const auto it = m_procedures.constFind(name.toUpper());
    return it == m_procedures.constEnd() ? nullptr : &*it;
}

QStringList ProcedureRegistry::names() const {
    QStringList names;
    for (const ProcedureDefinition& p : m_procedures) names.append(p.name);
    names.sort();
    return names;
}

namespace {
// The argument as the server converts it to int: a number within int (a decimal one loses its
// fraction), a text of a whole number within int between blanks, or an empty text (0).
void checkInteger(const QVariant& v) {
    constexpr qlonglong Least = std::numeric_limits<int>::min();
    constexpr qlonglong Most = std::numeric_limits<int>::max();
    switch (v.typeId()) {
        case QMetaType::LongLong:
            if (v.toLongLong() < Least || v.toLongLong() > Most)
                throw SqlErrors::conversion(QStringLiteral("numeric"), QStringLiteral("int"));
            return;
        case QMetaType::Double:
            if (!(v.toDouble() > double(Least) - 1 && v.toDouble() < double(Most) + 1))
                throw SqlErrors::conversion(QStringLiteral("numeric"), QStringLiteral("int"));
            return;
        default: {
            const QString text = v.toString().trimmed();
            bool ok = text.isEmpty();
            if (!ok && (text[0].isDigit() || text[0] == u'+' || text[0] == u'-')) {
                const qlonglong n = text.toLongLong(&ok);
                ok = ok && n >= Least && n <= Most;
            }
            if (!ok) throw SqlErrors::conversion(QStringLiteral("varchar"), QStringLiteral("int"));
        }
    }
}
}  // namespace

void ProcedureRegistry::checkArguments(const ProcedureDefinition& procedure,
                                       const ProcedureCall& call) {
    if (call.count() > procedure.parameters.size())
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("程序或函數 %1 指定了太多的引數。").arg(procedure.name));
    if (call.count() < procedure.required)
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("程序或函數 '%1' 需要參數 '%2'，但未提供。")
                          .arg(procedure.name, procedure.parameters.value(call.count())));
    for (qsizetype i = 0; i < call.count(); ++i)
        if (procedure.integers[i] && !call.isNull(i)) checkInteger(call.arguments()[i]);
}
