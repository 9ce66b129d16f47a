#include "app/qt/banner_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "app/qt/control_looks.h"

namespace pw {
namespace {

QPixmap blank(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

// Lightens everything already drawn, for the picture under the mouse.
void lighten(QPainter& p, const QRect& r) {
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(r, QColor(255, 255, 255, 60));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void softShadow(QPainter& p, const QRectF& r, qreal radius) {
    for (int i = 3; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 40, 80, 18));
        p.drawRoundedRect(r.translated(0, i).adjusted(-i / 2.0, 0, i / 2.0, i / 2.0), radius,
                          radius);
    }
}

// A rounded tile with a two-piece "C": one file cut in two, the mark of a splitter.
void drawMark(QPainter& p, const QRectF& tile) {
    softShadow(p, tile, tile.width() * 0.22);
    QLinearGradient g(tile.topLeft(), tile.bottomRight());
    g.setColorAt(0, QColor(36, 130, 230));
    g.setColorAt(1, QColor(18, 170, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, tile.width() * 0.22, tile.width() * 0.22);

    const QRectF ring = tile.adjusted(tile.width() * 0.2, tile.height() * 0.2, -tile.width() * 0.2,
                                      -tile.height() * 0.2);
    QPen pen(Qt::white, tile.width() * 0.13, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 45 * 16, 125 * 16);
    p.setPen(QPen(QColor(255, 255, 255, 210), tile.width() * 0.13, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 190 * 16, 125 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 90));
    const qreal dot = tile.width() * 0.14;
    p.drawEllipse(QPointF(ring.right() - dot * 0.1, ring.center().y()), dot / 2, dot / 2);
}

}  // namespace

QPixmap drawMakerLogo(bool hovered) {
    QPixmap pm = blank(195, 66);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawMark(p, QRectF(4, 8, 48, 48));

    QFont name = uiFont(26, true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(name);
    p.setPen(QColor(22, 48, 92));
    p.drawText(QRectF(60, 4, 135, 34), Qt::AlignLeft | Qt::AlignVCenter, "Corvane");

    p.setFont(uiFont(13, false));
    p.setPen(QColor(96, 112, 136));
    p.drawText(QRectF(61, 36, 134, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("软件 · 文件分割合并"));
    p.setPen(QPen(QColor(18, 170, 160), 2));
    p.drawLine(QPointF(62, 58), QPointF(150, 58));
    if (hovered) lighten(p, pm.rect());
    return pm;
}

QPixmap drawSaveSettingsIcon(bool hovered) {
    QPixmap pm = blank(64, 64);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(10, 8, 44, 46);
    softShadow(p, body, 6);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(64, 120, 210));
    g.setColorAt(1, QColor(34, 78, 160));
    p.setPen(QPen(QColor(24, 58, 120), 1));
    p.setBrush(g);
    QPainterPath disk;
    disk.moveTo(body.left() + 6, body.top());
    disk.lineTo(body.right() - 9, body.top());
    disk.lineTo(body.right(), body.top() + 9);
    disk.lineTo(body.right(), body.bottom() - 6);
    disk.quadTo(body.right(), body.bottom(), body.right() - 6, body.bottom());
    disk.lineTo(body.left() + 6, body.bottom());
    disk.quadTo(body.left(), body.bottom(), body.left(), body.bottom() - 6);
    disk.lineTo(body.left(), body.top() + 6);
    disk.quadTo(body.left(), body.top(), body.left() + 6, body.top());
    p.drawPath(disk);
    // Shutter and label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 224, 238));
    p.drawRoundedRect(QRectF(20, 8, 22, 14), 2, 2);
    p.setBrush(QColor(34, 78, 160));
    p.drawRect(QRectF(34, 11, 5, 8));
    p.setBrush(QColor(250, 251, 253));
    p.drawRoundedRect(QRectF(17, 30, 30, 20), 3, 3);
    p.setPen(QPen(QColor(150, 170, 200), 1.5));
    p.drawLine(QPointF(22, 37), QPointF(42, 37));
    p.drawLine(QPointF(22, 43), QPointF(36, 43));
    // A green check: the settings are kept.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 170, 90));
    p.drawEllipse(QPointF(50, 50), 10, 10);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(45, 50), QPointF(49, 54), QPointF(55, 46)}));
    if (hovered) lighten(p, pm.rect());
    return pm;
}

QPixmap drawHomepageIcon(bool hovered) {
    QPixmap pm = blank(64, 64);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Globe.
    const QPointF c(32, 31);
    const qreal r = 23;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 80, 30));
    p.drawEllipse(c + QPointF(0, 2), r + 1, r + 1);
    QRadialGradient g(c - QPointF(8, 9), r * 1.6);
    g.setColorAt(0, QColor(120, 200, 255));
    g.setColorAt(1, QColor(20, 110, 200));
    p.setBrush(g);
    p.setPen(QPen(QColor(16, 80, 150), 1));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawArc(QRectF(c.x() - r * 0.9, c.y() - r * 0.75, r * 1.8, r * 0.7), 20 * 16, 140 * 16);
    p.drawArc(QRectF(c.x() - r * 0.9, c.y() + r * 0.05, r * 1.8, r * 0.7), 200 * 16, 140 * 16);
    // A small house in front: the homepage.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 110, 50));
    p.drawPolygon(QPolygonF({QPointF(36, 44), QPointF(48, 33), QPointF(60, 44)}));
    p.setBrush(QColor(252, 246, 232));
    p.drawRect(QRectF(39.5, 43, 17, 14));
    p.setBrush(QColor(60, 100, 170));
    p.drawRect(QRectF(45.5, 48, 5, 9));
    if (hovered) lighten(p, pm.rect());
    return pm;
}

QPixmap drawProgramIcon(int size) {
    QPixmap pm = blank(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(size * 0.06, size * 0.04, size * 0.88, size * 0.88));
    return pm;
}

}  // namespace pw
