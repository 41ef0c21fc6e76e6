#include "wizard/IntroductionPicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace expwiz {

QImage IntroductionPicture::render()
{
    QImage image(Width, Height, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    sky.setColorAt(1, QColor(0x0b, 0x25, 0x4a));
    p.fillRect(image.rect(), sky);

    // The asset register: a sheet with a header row and a few columns.
    const QRectF sheet(10, 12, 72, 62);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.fillRect(QRectF(sheet.left() + 0.5, sheet.top() + 0.5, sheet.width() - 1, 10), QColor(0xd8, 0xe4, 0xf2));
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 1));
    for (int row = 1; row < 6; ++row)
        p.drawLine(QPointF(sheet.left(), sheet.top() + 10 * row + 0.5), QPointF(sheet.right(), sheet.top() + 10 * row + 0.5));
    for (int col = 1; col < 3; ++col)
        p.drawLine(QPointF(sheet.left() + 24 * col + 0.5, sheet.top()), QPointF(sheet.left() + 24 * col + 0.5, sheet.bottom()));
    p.setPen(QColor(0x2c, 0x6f, 0x2c));
    for (int row = 1; row < 6; ++row)
        p.drawLine(QPointF(sheet.left() + 4, sheet.top() + 10 * row + 5.5),
                   QPointF(sheet.left() + 4 + (row * 7) % 16, sheet.top() + 10 * row + 5.5));

    // The arrow down into the file.
    QPainterPath arrow;
    arrow.moveTo(50, 78);
    arrow.lineTo(62, 78);
    arrow.lineTo(62, 88);
    arrow.lineTo(70, 88);
    arrow.lineTo(56, 100);
    arrow.lineTo(42, 88);
    arrow.lineTo(50, 88);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    p.drawPath(arrow);

    // The CSV file: a page with a folded corner and comma-separated text.
    QPainterPath page;
    page.moveTo(36, 102);
    page.lineTo(98, 102);
    page.lineTo(110, 112);
    page.lineTo(110, 130);
    page.lineTo(36, 130);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0xfb, 0xfb, 0xf2));
    p.drawPath(page);
    p.setBrush(QColor(0xd0, 0xd0, 0xc4));
    QPainterPath fold;
    fold.moveTo(98, 102);
    fold.lineTo(98, 112);
    fold.lineTo(110, 112);
    fold.closeSubpath();
    p.drawPath(fold);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x1f, 0x4e, 0x8c));
    p.drawText(QRectF(38, 112, 70, 16), Qt::AlignCenter, QStringLiteral("a,b,c"));

    // A second sheet behind the first, so the picture reads "many assets".
    p.setPen(QPen(QColor(0xc8, 0xd6, 0xe8), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(86, 20, 26, 46));
    p.drawLine(QPointF(86, 30.5), QPointF(112, 30.5));
    p.drawLine(QPointF(86, 42.5), QPointF(112, 42.5));
    p.drawLine(QPointF(86, 54.5), QPointF(112, 54.5));
    p.end();
    return image;
}

} // namespace expwiz
