#include "PrintFonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace PrintFonts {
namespace {
const QHash<QString, QStringList>& standIns() {
    static const QStringList kai{QStringLiteral("AR PL UKai TW"),
                                 QStringLiteral("AR PL UKai TW MBE"),
                                 QStringLiteral("Noto Serif CJK TC")};
    static const QStringList ming{QStringLiteral("AR PL UMing TW"),
                                  QStringLiteral("AR PL UMing TW MBE"),
                                  QStringLiteral("Noto Serif CJK TC")};
    static const QHash<QString, QStringList> table{
        {QStringLiteral("標楷體"), kai},   {QStringLiteral("DFKai-SB"), kai},
        {QStringLiteral("細明體"), ming},  {QStringLiteral("新細明體"), ming},
        {QStringLiteral("MingLiU"), ming}, {QStringLiteral("PMingLiU"), ming},
    };
    return table;
}
}  // namespace

QString family(const QString& requested) {
    // Asked by exact name: the font configuration's own aliases would hide which face prints.
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(requested)) return requested;
    for (const QString& candidate : standIns().value(requested))
        if (installed.contains(candidate)) return candidate;
    return requested;
}

QFont font(const QString& requested, double points, bool bold) {
    QFont f(family(requested));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}
}  // namespace PrintFonts
