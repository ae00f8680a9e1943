#include "flow/render/plan_paint.h"

#include "flow/plan_style.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
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

// A text line too small to read: a bar as long as the text, as high as its small letters.
void paintTextBar(QPainter& p, const QString& text, const PlanMetrics& m, double maxWidth, QPointF baseline) {
    const double width = std::min(m.textWidth(text, false), maxWidth);
    if (width > 0)
        p.drawRect(QRectF(baseline.x(), baseline.y() - m.lineHeight * 0.45, width, m.lineHeight * 0.4));
}

} // namespace

bool textLegibleAt(double scale) {
    return kFontPixels * scale >= 3.5;
}

QFont planFont(bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(kFontPixels);
    f.setBold(bold);
    return f;
}

void paintBox(QPainter& p, const PlanBox& b, const PlanMetrics& m, QPointF topLeft, bool legible) {
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
    QColor lineColour = colour(c.text);
    if (!legible) {
        const double room = b.width - 2 * m.padding;
        lineColour.setAlphaF(0.45);
        p.setPen(Qt::NoPen);
        p.setBrush(lineColour);
        paintTextBar(p, b.title, m, room, QPointF(left, baseline));
        for (const QString& line : b.lines)
            paintTextBar(p, line, m, room, QPointF(left, baseline += m.lineHeight));
        return;
    }
    p.setPen(lineColour);
    p.setFont(bold);
    p.drawText(QPointF(left, baseline), b.title);
    p.setFont(plain);
    if (b.state == BoxState::Normal) lineColour.setAlphaF(0.8);
    p.setPen(lineColour);
    for (const QString& line : b.lines) {
        baseline += m.lineHeight;
        p.drawText(QPointF(left, baseline), line);
    }
}

void paintArrow(QPainter& p, const PlanArrow& a, bool emphasised, bool legible) {
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
    if (a.label.isEmpty() || !legible) return;
    p.setFont(bold);
    p.setPen(a.jump ? c : c.darker(130));
    p.drawText(a.labelAt, a.label);
}

QRectF arrowBounds(const PlanArrow& a) {
    static const QFontMetricsF fm(planFont(true));
    // Labels are keys and exit names, a handful of texts: each is measured once.
    static QHash<QString, QRectF> labelBounds;
    QRectF r = headOf(a).boundingRect();
    for (const QPointF& pt : a.points)
        r = r.united(QRectF(pt, QSizeF(0.01, 0.01)));
    if (!a.label.isEmpty()) {
        auto it = labelBounds.constFind(a.label);
        if (it == labelBounds.cend()) it = labelBounds.insert(a.label, fm.boundingRect(a.label));
        r = r.united(it->translated(a.labelAt));
    }
    return r.adjusted(-3, -3, 3, 3);
}

} // namespace flow
