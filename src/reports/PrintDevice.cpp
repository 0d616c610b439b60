#include "PrintDevice.h"

#include <cmath>

void PrintDevice::setOrientation(Orientation orientation) {
    m_orientation = orientation;
    orientationChanged();
}

double PrintDevice::pageWidth() const {
    const QSizeF paper = paperSize();
    return std::round(m_orientation == Orientation::Portrait ? paper.width() : paper.height());
}

double PrintDevice::pageHeight() const {
    const QSizeF paper = paperSize();
    return std::round(m_orientation == Orientation::Portrait ? paper.height() : paper.width());
}

void PrintDevice::setFontName(const QString& name) {
    m_fontName = name;
    fontChanged();
}

void PrintDevice::setFontSize(double points) {
    m_fontSize = points;
    fontChanged();
}

void PrintDevice::setFontBold(bool bold) {
    m_fontBold = bold;
    fontChanged();
}
