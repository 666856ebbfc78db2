#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{

const QColor Ink(0x2b, 0x4a, 0x6f);
const QColor Accent(0xd9, 0x7a, 0x1e);
const QColor Paper(0xf7, 0xf7, 0xf2);

void drawOpen(QPainter& p)
{
    p.setBrush(QColor(0xf0, 0xc0, 0x50));
    p.drawRect(QRectF(4, 9, 22, 16));
    p.setBrush(QColor(0xf8, 0xd8, 0x78));
    QPainterPath lid;
    lid.moveTo(4, 25);
    lid.lineTo(9, 13);
    lid.lineTo(29, 13);
    lid.lineTo(25, 25);
    lid.closeSubpath();
    p.drawPath(lid);
}

void drawSave(QPainter& p)
{
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(0xc8, 0xd2, 0xdc));
    p.drawRect(QRectF(8, 18, 16, 10));
}

void drawPrint(QPainter& p)
{
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(0x8a, 0x93, 0x9c));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.drawLine(QPointF(12, 26), QPointF(20, 26));
}

void drawClose(QPainter& p)
{
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawRead(QPainter& p)
{
    // A light rim keeps the dark instrument visible on dark skins too.
    p.setPen(QPen(QColor(0xb8, 0xb8, 0xb8), 1.2));
    p.setBrush(QColor(0x3d, 0x3d, 0x3d));
    p.drawRoundedRect(QRectF(3, 3, 12, 22), 2, 2);
    p.setBrush(QColor(0x9f, 0xd4, 0x9f));
    p.drawRect(QRectF(5, 6, 8, 6));
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.2));
    p.setBrush(Accent);
    QPainterPath arrow;
    arrow.moveTo(17, 12);
    arrow.lineTo(24, 12);
    arrow.lineTo(24, 17);
    arrow.lineTo(29, 17);
    arrow.lineTo(20.5, 28);
    arrow.lineTo(12, 17);
    arrow.lineTo(17, 17);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void drawNames(QPainter& p)
{
    p.setBrush(Paper);
    p.drawRect(QRectF(4, 3, 20, 26));
    for (int y = 8; y <= 23; y += 5)
        p.drawLine(QPointF(8, y), QPointF(20, y));
    p.setBrush(Accent);
    QPainterPath pencil;
    pencil.moveTo(27, 10);
    pencil.lineTo(30, 13);
    pencil.lineTo(18, 25);
    pencil.lineTo(14, 26);
    pencil.lineTo(15, 22);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void drawClock(QPainter& p)
{
    p.setBrush(Paper);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    for (int h = 0; h < 12; ++h) {
        p.save();
        p.translate(16, 16);
        p.rotate(h * 30);
        p.drawLine(QPointF(0, -11), QPointF(0, -9));
        p.restore();
    }
    p.setPen(QPen(Ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 19));
}

void drawFlagRussian(QPainter& p)
{
    p.setPen(Qt::NoPen);
    const QColor stripes[] = {Qt::white, QColor(0x00, 0x39, 0xa6), QColor(0xd5, 0x2b, 0x1e)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(stripes[i]);
        p.drawRect(QRectF(2, 7 + i * 6, 28, 6));
    }
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 7, 28, 18));
}

void drawFlagEnglish(QPainter& p)
{
    const QRectF flag(2, 7, 28, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x01, 0x21, 0x69));
    p.drawRect(flag);
    p.setClipRect(flag);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(flag.topLeft(), flag.bottomRight());
    p.drawLine(flag.bottomLeft(), flag.topRight());
    p.setPen(QPen(QColor(0xc8, 0x10, 0x2e), 1.5));
    p.drawLine(flag.topLeft(), flag.bottomRight());
    p.drawLine(flag.bottomLeft(), flag.topRight());
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(QPointF(16, 7), QPointF(16, 25));
    p.drawLine(QPointF(2, 16), QPointF(30, 16));
    p.setPen(QPen(QColor(0xc8, 0x10, 0x2e), 3));
    p.drawLine(QPointF(16, 7), QPointF(16, 25));
    p.drawLine(QPointF(2, 16), QPointF(30, 16));
}

// A pull-out tester's gauge over an anchor: the program's own mark.
void drawProgram(QPainter& p)
{
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    p.setBrush(Paper);
    p.drawEllipse(QRectF(7, 5, 18, 18));
    p.setPen(QPen(Accent, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 14), QPointF(21, 9));
    p.setPen(QPen(Paper, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 23), QPointF(16, 28));
}

QPixmap render(TIconId id, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.2));
    switch (id) {
    case TIconId::Open:
        drawOpen(p);
        break;
    case TIconId::Save:
        drawSave(p);
        break;
    case TIconId::Print:
        drawPrint(p);
        break;
    case TIconId::Close:
        drawClose(p);
        break;
    case TIconId::Read:
        drawRead(p);
        break;
    case TIconId::Names:
        drawNames(p);
        break;
    case TIconId::Clock:
        drawClock(p);
        break;
    case TIconId::FlagRussian:
        drawFlagRussian(p);
        break;
    case TIconId::FlagEnglish:
        drawFlagEnglish(p);
        break;
    case TIconId::Program:
        drawProgram(p);
        break;
    }
    return pixmap;
}

} // namespace

QIcon KadrelIcon(TIconId id)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(render(id, size));
    return icon;
}
