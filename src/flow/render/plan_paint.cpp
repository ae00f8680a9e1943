#include "flow/render/plan_paint.h"

#include "flow/plan_style.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace flow {

namespace {

constexpr int kFontPixels = 11;

QColor colour(const char* name) {
    return QColor(QLatin1String(name));
}

QPolygonF headOf(const PlanArrow& a) {
    const size_t n = a.points.size();
    if (n < 2) return {};
    const QPointF tip = a.points[n - 1], d = tip - a.points[n - 2];
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return {};
    const QPointF u = d / len, normal(-u.y(), u.x());
    const QPointF base = tip - u * 7.0;
    return QPolygonF({tip, base + normal * 3.5, base - normal * 3.5});
}

} // namespace

QFont planFont(bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(kFontPixels);
    f.setBold(bold);
    return f;
}

void paintBox(QPainter& p, const PlanBox& b, const PlanMetrics& m, QPointF topLeft) {
    static const QFont plain = planFont(false), bold = planFont(true);
    static const QFontMetricsF fm(plain);
    const BoxColours c = boxColours(b.kind, b.state);
    const bool marked = b.state == BoxState::Error || b.state == BoxState::Warning;
    const double radius = b.kind == BoxKind::Menu || b.kind == BoxKind::Tree ? 6 : 3;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colour(c.stroke), marked ? 2.0 : 1.1));
    p.setBrush(colour(c.fill));
    p.drawRoundedRect(QRectF(topLeft, QSizeF(b.width, b.height)), radius, radius);
    const double left = topLeft.x() + m.padding;
    double baseline = topLeft.y() + m.padding + fm.ascent() + (m.lineHeight - fm.height()) / 2;
    p.setPen(colour(c.text));
    p.setFont(bold);
    p.drawText(QPointF(left, baseline), b.title);
    p.setFont(plain);
    QColor lineColour = colour(c.text);
    if (b.state == BoxState::Normal) lineColour.setAlphaF(0.8);
    p.setPen(lineColour);
    for (const QString& line : b.lines) {
        baseline += m.lineHeight;
        p.drawText(QPointF(left, baseline), line);
    }
}

void paintArrow(QPainter& p, const PlanArrow& a, bool emphasised) {
    if (a.points.size() < 2) return;
    static const QFont bold = planFont(true);
    const QColor c = colour(arrowColour(a));
    QPen pen(c, emphasised ? 2.4 : 1.3);
    if (a.dashed) pen.setDashPattern({5, 3});
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The last segment stops where the head starts, so that the line does not blunt its tip.
    std::vector<QPointF> line = a.points;
    const QPolygonF head = headOf(a);
    if (!head.isEmpty()) line.back() = (head[1] + head[2]) / 2;
    p.drawPolyline(line.data(), int(line.size()));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
    if (a.label.isEmpty()) return;
    p.setFont(bold);
    p.setPen(a.jump ? c : c.darker(130));
    p.drawText(a.labelAt, a.label);
}

QRectF arrowBounds(const PlanArrow& a) {
    static const QFontMetricsF fm(planFont(true));
    QRectF r = headOf(a).boundingRect();
    for (const QPointF& pt : a.points)
        r = r.united(QRectF(pt, QSizeF(0.01, 0.01)));
    if (!a.label.isEmpty()) r = r.united(fm.boundingRect(a.label).translated(a.labelAt));
    return r.adjusted(-3, -3, 3, 3);
}

} // namespace flow
