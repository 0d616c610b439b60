#pragma once

#include <QFont>
#include <QString>

// The faces of the printed pages. The reports ask for the Windows faces "標楷體" (Kai) and
// "細明體" / "新細明體" (Ming); where those are not installed the closest installed face stands
// in: AR PL UKai TW for Kai, AR PL UMing TW for Ming, then Noto Serif CJK TC for both.
namespace PrintFonts {
// The installed family that prints a requested face (the request itself when nothing better
// is known).
QString family(const QString& requested);
// The font to print with: the family above at the size in points, bold or not.
QFont font(const QString& requested, double points, bool bold);
}  // namespace PrintFonts
