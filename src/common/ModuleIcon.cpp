#include "ModuleIcon.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {
QPixmap tile(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF square(0.5, 0.5, size - 1.0, size - 1.0);
    p.setPen(QPen(QColor(0x0B, 0x2A, 0x5B), size / 32.0));
    p.setBrush(QColor(0x1F, 0x4E, 0x8C));
    p.drawRoundedRect(square, size / 6.0, size / 6.0);
    // The ledger line under the character.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0xC0));
    p.drawRect(QRectF(size * 0.18, size * 0.80, size * 0.64, size * 0.07));
    QFont font;
    font.setPixelSize(int(size * 0.62));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size * 0.84), Qt::AlignCenter, QStringLiteral("固"));
    return pixmap;
}
}  // namespace

QIcon ModuleIcon() {
    static const QIcon icon = [] {
        QIcon made;
        for (int size : {16, 24, 32, 48, 64}) made.addPixmap(tile(size));
        return made;
    }();
    return icon;
}

void InstallModuleIcon() { QApplication::setWindowIcon(ModuleIcon()); }
