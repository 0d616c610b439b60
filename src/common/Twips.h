#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window positions are given in twips (1/1440 inch); the screen has its logical resolution.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
inline QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
}  // namespace Twips
