#include "qt/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace ombrix::qt {

QPixmap logoPicture() {
    QPixmap pix(kLogoWidth, kLogoHeight);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);

    // A disc seen at a slant: silver ring, rainbow sheen, the hole.
    const QRectF disc(2, 2, 27, 27);
    QRadialGradient sheen(disc.center(), 13.5);
    sheen.setColorAt(0.0, QColor(250, 250, 255));
    sheen.setColorAt(0.45, QColor(190, 210, 240));
    sheen.setColorAt(0.7, QColor(230, 200, 240));
    sheen.setColorAt(1.0, QColor(120, 130, 160));
    p.setPen(QPen(QColor(60, 70, 100), 1));
    p.setBrush(sheen);
    p.drawEllipse(disc);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
    p.drawArc(disc.adjusted(4, 4, -4, -4), 30 * 16, 80 * 16);
    p.setPen(QPen(QColor(60, 70, 100), 1));
    p.setBrush(Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(disc.center(), 3.0, 3.0);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc.center(), 3.0, 3.0);

    // The lettering: "HD" in a dark blue plate, "DVD" beside it.
    QFont bold(QStringLiteral("Tahoma"));
    bold.setPixelSize(17);
    bold.setBold(true);
    p.setFont(bold);
    const QRectF plate(34, 5, 34, 21);
    QLinearGradient plateFill(plate.topLeft(), plate.bottomLeft());
    plateFill.setColorAt(0, QColor(40, 70, 150));
    plateFill.setColorAt(1, QColor(15, 30, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(plateFill);
    p.drawRoundedRect(plate, 4, 4);
    p.setPen(Qt::white);
    p.drawText(plate, Qt::AlignCenter, QStringLiteral("HD"));
    p.setPen(QColor(20, 35, 90));
    p.drawText(QRectF(71, 3, 54, 25), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DVD"));
    return pix;
}

QPixmap openFolderPicture(bool greyed) {
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge = greyed ? QColor(150, 150, 150) : QColor(140, 100, 20);
    const QColor back = greyed ? QColor(200, 200, 200) : QColor(230, 190, 80);
    const QColor front = greyed ? QColor(225, 225, 225) : QColor(255, 220, 110);

    // The back of the folder with its tab.
    QPainterPath rear;
    rear.moveTo(1.5, 3.5);
    rear.lineTo(6.0, 3.5);
    rear.lineTo(7.5, 5.0);
    rear.lineTo(13.5, 5.0);
    rear.lineTo(13.5, 13.5);
    rear.lineTo(1.5, 13.5);
    rear.closeSubpath();
    p.setPen(QPen(edge, 1));
    p.setBrush(back);
    p.drawPath(rear);
    // The opened front flap, tilted forward.
    QPainterPath flap;
    flap.moveTo(4.0, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(13.0, 13.5);
    flap.lineTo(1.5, 13.5);
    flap.closeSubpath();
    p.setBrush(front);
    p.drawPath(flap);
    return pix;
}

QIcon openFolderIcon() {
    QIcon icon;
    icon.addPixmap(openFolderPicture(false), QIcon::Normal);
    icon.addPixmap(openFolderPicture(true), QIcon::Disabled);
    return icon;
}

} // namespace ombrix::qt
