#include "ProcedureRegistry.h"

#include "DbError.h"

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
                            Procedure body) {
    m_procedures.insert(name.toUpper(),
                        ProcedureDefinition{name, parameters, required, std::move(body)});
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

void ProcedureRegistry::checkArguments(const ProcedureDefinition& procedure,
                                       const ProcedureCall& call) {
    if (call.count() > procedure.parameters.size())
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("程序或函數 %1 指定了太多的引數。").arg(procedure.name));
    if (call.count() < procedure.required)
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("程序或函數 '%1' 需要參數 '%2'，但未提供。")
                          .arg(procedure.name, procedure.parameters.value(call.count())));
}
