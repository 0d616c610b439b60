#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {
namespace {
double dotsPerInch() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = app->primaryScreen()) return screen->logicalDotsPerInch();
    return 96.0;
}
}  // namespace

int toPixels(int twips) { return int(std::lround(twips * dotsPerInch() / 1440.0)); }
int fromPixels(int pixels) { return int(std::lround(pixels * 1440.0 / dotsPerInch())); }
}  // namespace Twips
