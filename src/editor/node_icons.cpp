#include "editor/node_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

// Every picture is drawn in a 16 x 16 box; the engine scales it to the requested size.
using Drawer = std::function<void(QPainter&)>;

QPen pen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void disc(QPainter& p, const QColor& fill, const QColor& outline) {
    p.setPen(pen(outline, 1.0));
    p.setBrush(fill);
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
}

void drawTree(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8b, 0x5a, 0x2b));
    p.drawRect(QRectF(6.8, 9.5, 2.4, 5.5));
    p.setPen(pen(QColor(0x1e, 0x5e, 0x2a), 1.0));
    p.setBrush(QColor(0x3c, 0xa0, 0x48));
    p.drawEllipse(QPointF(8, 6.2), 5.6, 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8b, 0xd0, 0x8f));
    p.drawEllipse(QPointF(6.2, 4.8), 1.5, 1.2);
}

void drawMenu(QPainter& p) {
    p.setPen(pen(QColor(0x1d, 0x4a, 0x94), 1.0));
    p.setBrush(QColor(0x2f, 0x6f, 0xd0));
    p.drawRoundedRect(QRectF(1.5, 2, 13, 12), 2, 2);
    p.setPen(pen(Qt::white, 1.4));
    for (qreal y : {5.2, 8.0, 10.8}) {
        p.drawPoint(QPointF(4.5, y));
        p.drawLine(QPointF(6.8, y), QPointF(11.8, y));
    }
}

void drawNoAction(QPainter& p) {
    p.setPen(pen(QColor(0x8c, 0x8c, 0x8c), 1.4));
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
    p.drawLine(QPointF(5.2, 8), QPointF(10.8, 8));
}

void drawJump(QPainter& p) {
    const QColor purple(0x8a, 0x3f, 0xb8);
    QPainterPath hook;
    hook.moveTo(3.2, 14);
    hook.lineTo(3.2, 8.5);
    hook.quadTo(3.2, 5, 7, 5);
    hook.lineTo(10, 5);
    p.setPen(pen(purple, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(pen(purple, 1.0));
    p.setBrush(purple);
    p.drawPolygon(QPolygonF({QPointF(9.5, 1.2), QPointF(14.8, 5), QPointF(9.5, 8.8)}));
}

void drawTransfer(QPainter& p) {
    disc(p, QColor(0x1e, 0x9e, 0x4a), QColor(0x12, 0x6b, 0x31));
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(3.8, 8), QPointF(10, 8));
    p.setPen(pen(Qt::white, 1.0));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(8.6, 4.6), QPointF(12.6, 8), QPointF(8.6, 11.4)}));
}

void drawAnnouncement(QPainter& p) {
    const QColor orange(0xe0, 0x7b, 0x00);
    p.setPen(pen(orange.darker(130), 0.8));
    p.setBrush(orange);
    p.drawPolygon(QPolygonF({QPointF(1.5, 6), QPointF(4.5, 6), QPointF(8.5, 2.5), QPointF(8.5, 13.5),
                             QPointF(4.5, 10), QPointF(1.5, 10)}));
    p.setPen(pen(orange, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6.5, 5, 6, 6), -50 * 16, 100 * 16);
    p.drawArc(QRectF(5.5, 2, 10, 12), -50 * 16, 100 * 16);
}

void drawStandard(QPainter& p) {
    const QColor teal(0x13, 0x8a, 0x8a);
    p.setPen(Qt::NoPen);
    p.setBrush(teal);
    p.drawEllipse(QPointF(8, 6), 3.0, 3.2);
    QPainterPath body;
    body.moveTo(2.2, 15.5);
    body.cubicTo(2.2, 9.8, 13.8, 9.8, 13.8, 15.5);
    body.closeSubpath();
    p.drawPath(body);
    // Headset.
    p.setPen(pen(QColor(0x0b, 0x3f, 0x3f), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.6, 1.4, 8.8, 9), 0, 180 * 16);
    p.setBrush(QColor(0x0b, 0x3f, 0x3f));
    p.drawRoundedRect(QRectF(2.6, 5, 2, 3.2), 0.8, 0.8);
    p.drawRoundedRect(QRectF(11.4, 5, 2, 3.2), 0.8, 0.8);
}

void drawFreeDialing(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x40, 0x8e));
    for (qreal y : {1.5, 6.3, 11.1})
        for (qreal x : {1.5, 6.3, 11.1})
            p.drawRoundedRect(QRectF(x, y, 3.4, 3.4), 0.9, 0.9);
}

void drawEnvelope(QPainter& p) {
    p.setPen(pen(QColor(0xa5, 0x78, 0x1c), 1.0));
    p.setBrush(QColor(0xf4, 0xd2, 0x7a));
    p.drawRect(QRectF(1, 3.5, 14, 9.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1, 3.5), QPointF(8, 9), QPointF(15, 3.5)}));
}

void drawVoiceBox1(QPainter& p) {
    drawEnvelope(p);
}

void drawVoiceBox2(QPainter& p) {
    drawEnvelope(p);
    // The station's own box: a badge in the corner.
    p.setPen(pen(Qt::white, 1.0));
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    p.drawEllipse(QPointF(12.2, 12.2), 3.4, 3.4);
    p.setPen(pen(Qt::white, 1.3));
    p.drawLine(QPointF(12.2, 10.6), QPointF(12.2, 13.8));
}

void drawWarning(QPainter& p) {
    p.setPen(pen(QColor(0xb0, 0x6c, 0x00), 1.0));
    p.setBrush(QColor(0xf5, 0xa6, 0x23));
    p.drawPolygon(QPolygonF({QPointF(8, 1.2), QPointF(15.2, 14.6), QPointF(0.8, 14.6)}));
    p.setPen(pen(QColor(0x30, 0x20, 0x00), 2.0));
    p.drawLine(QPointF(8, 5.6), QPointF(8, 9.8));
    p.drawPoint(QPointF(8, 12.4));
}

void drawError(QPainter& p) {
    disc(p, QColor(0xd0, 0x31, 0x2d), QColor(0x8e, 0x1b, 0x18));
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
    p.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
}

void drawOk(QPainter& p) {
    disc(p, QColor(0x2e, 0x9d, 0x3a), QColor(0x1b, 0x61, 0x00));
    p.setPen(pen(Qt::white, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4.6, 8.4), QPointF(7, 10.9), QPointF(11.6, 5.4)}));
}

void drawInfo(QPainter& p) {
    disc(p, QColor(0x2f, 0x6f, 0xd0), QColor(0x1d, 0x4a, 0x94));
    p.setPen(pen(Qt::white, 2.0));
    p.drawPoint(QPointF(8, 4.6));
    p.drawLine(QPointF(8, 7.4), QPointF(8, 11.8));
}

void drawLocalMode(QPainter& p) {
    // A workstation on its own.
    p.setPen(pen(QColor(0x3c, 0x46, 0x50), 1.0));
    p.setBrush(QColor(0x5a, 0x6a, 0x7a));
    p.drawRoundedRect(QRectF(1.5, 2, 13, 9), 1, 1);
    p.setBrush(QColor(0xcf, 0xdd, 0xea));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 3.5, 10, 6));
    p.setBrush(QColor(0x5a, 0x6a, 0x7a));
    p.drawRect(QRectF(6.8, 11, 2.4, 2.2));
    p.drawRoundedRect(QRectF(4, 13, 8, 1.8), 0.8, 0.8);
}

void drawServerMode(QPainter& p) {
    // The network: a globe.
    const QColor line(0x0d, 0x5e, 0x3a);
    p.setPen(pen(line, 1.0));
    p.setBrush(QColor(0x3c, 0xb3, 0x71));
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 3, 6.8);
    p.drawLine(QPointF(1.2, 8), QPointF(14.8, 8));
    p.drawLine(QPointF(8, 1.2), QPointF(8, 14.8));
    p.drawLine(QPointF(2.4, 4.6), QPointF(13.6, 4.6));
    p.drawLine(QPointF(2.4, 11.4), QPointF(13.6, 11.4));
}

void drawChevron(QPainter& p, bool up) {
    p.setPen(pen(QColor(0x40, 0x40, 0x40), 2.2));
    p.setBrush(Qt::NoBrush);
    const qreal tip = up ? 4.5 : 11.5;
    const qreal base = up ? 10.5 : 5.5;
    p.drawPolyline(QPolygonF({QPointF(3, base), QPointF(8, tip), QPointF(13, base)}));
}

void drawLogo(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x4a, 0x94));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    // A call branching into menus.
    p.setPen(pen(Qt::white, 1.3));
    p.drawLine(QPointF(4, 8), QPointF(7, 8));
    p.drawLine(QPointF(7, 4), QPointF(7, 12));
    for (qreal y : {4.0, 8.0, 12.0})
        p.drawLine(QPointF(7, y), QPointF(10.5, y));
    p.setBrush(Qt::white);
    for (qreal y : {4.0, 8.0, 12.0})
        p.drawEllipse(QPointF(12, y), 1.4, 1.4);
    p.drawEllipse(QPointF(3.2, 8), 1.6, 1.6);
}

void drawUnknown(QPainter& p) {
    disc(p, QColor(0xd8, 0xd8, 0xd8), QColor(0x80, 0x80, 0x80));
    p.setPen(pen(QColor(0x40, 0x40, 0x40), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5.4, 3.6, 5.2, 5), -90 * 16, 270 * 16);
    p.drawLine(QPointF(8, 8.6), QPointF(8, 9.8));
    p.drawPoint(QPointF(8, 12.2));
}

void drawHelp(QPainter& p) {
    disc(p, QColor(0x2f, 0x6f, 0xd0), QColor(0x1d, 0x4a, 0x94));
    p.setPen(pen(Qt::white, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5.4, 3.6, 5.2, 5), -90 * 16, 270 * 16);
    p.drawLine(QPointF(8, 8.6), QPointF(8, 9.6));
    p.drawPoint(QPointF(8, 12.2));
}

class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawer draw) : m_draw(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 16.0, side / 16.0);
        if (mode == QIcon::Disabled) painter->setOpacity(0.35);
        m_draw(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon passes the size already multiplied by the scale (device pixels).
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter painter(&pm);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_draw); }

private:
    Drawer m_draw;
};

QIcon drawnIcon(Drawer draw) {
    return QIcon(new DrawnIconEngine(std::move(draw))); // QIcon owns its engine
}

} // namespace

NodeIcons::NodeIcons() : m_unknown(drawnIcon(drawUnknown)) {
    const std::pair<const char*, void (*)(QPainter&)> drawers[] = {
        {"Arbre", drawTree},
        {"Menu", drawMenu},
        {"NoAction", drawNoAction},
        {"Saut", drawJump},
        {"Transfert", drawTransfer},
        {"Annonce", drawAnnouncement},
        {"Standard", drawStandard},
        {"FreeDialing", drawFreeDialing},
        {"BoiteVoc1", drawVoiceBox1},
        {"BoiteVoc2", drawVoiceBox2},
        {"Warning", drawWarning},
        {"Erreur", drawError},
        {"Ok", drawOk},
        {"Info", drawInfo},
        {"ModeLocal", drawLocalMode},
        {"ModeServeur", drawServerMode},
        {"FlecheHaut", [](QPainter& p) { drawChevron(p, true); }},
        {"FlecheBas", [](QPainter& p) { drawChevron(p, false); }},
        {"Logo", drawLogo},
        {"Aide", drawHelp},
    };
    for (const auto& [name, draw] : drawers)
        m_icons.insert(QString::fromLatin1(name), drawnIcon(draw));
}

QIcon NodeIcons::icon(const QString& imageKey) const {
    return m_icons.value(imageKey, m_unknown);
}

const QStringList& NodeIcons::nodeImageKeys() {
    static const QStringList keys = {QStringLiteral("Arbre"),     QStringLiteral("Menu"),
                                     QStringLiteral("NoAction"),  QStringLiteral("Saut"),
                                     QStringLiteral("Transfert"), QStringLiteral("Annonce"),
                                     QStringLiteral("Standard"),  QStringLiteral("FreeDialing"),
                                     QStringLiteral("BoiteVoc1"), QStringLiteral("BoiteVoc2")};
    return keys;
}

const QStringList& NodeIcons::diagnosticImageKeys() {
    static const QStringList keys = {QStringLiteral("Warning"), QStringLiteral("Erreur"),
                                     QStringLiteral("Ok"), QStringLiteral("Info")};
    return keys;
}
