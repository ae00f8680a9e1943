#include "flow/render/plan_picture.h"

#include "flow/plan_style.h"
#include "flow/plan_text.h"

#include "platform/atomic_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

namespace flow {

namespace {

constexpr double kFontPixels = 11;
constexpr double kTreeGap = 40; // between the trees of one SVG or PNG picture

QFont planFont(bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(kFontPixels));
    f.setBold(bold);
    return f;
}

QColor colour(const char* name) {
    return QColor(QLatin1String(name));
}

void arrowHead(QPainter& p, QPointF tip, QPointF from) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF u = d / len, n(-u.y(), u.x());
    const QPointF base = tip - u * 7.0;
    const QPointF points[3] = {tip, base + n * 3.5, base - n * 3.5};
    p.drawPolygon(points, 3);
}

} // namespace

PlanMetrics pictureMetrics() {
    PlanMetrics m;
    // The metrics outlive this call: the measuring function owns its copies.
    const auto plain = std::make_shared<QFontMetricsF>(planFont(false));
    const auto bold = std::make_shared<QFontMetricsF>(planFont(true));
    m.measure = [plain, bold](const QString& text, bool isBold) {
        return (isBold ? bold : plain)->horizontalAdvance(text);
    };
    return m;
}

void paintPlan(QPainter& p, const FlowLayout& plan) {
    const std::vector<PlanBox>& boxes = plan.boxes();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    // Tree edges leave a column at one common trunk just right of its widest box.
    std::vector<double> columnRight;
    for (const PlanBox& b : boxes) {
        if (size_t(b.depth) >= columnRight.size()) columnRight.resize(size_t(b.depth) + 1, 0);
        columnRight[size_t(b.depth)] = std::max(columnRight[size_t(b.depth)], b.x + b.width);
    }

    const QFont plain = planFont(false), bold = planFont(true);
    const QFontMetricsF fm(plain);
    struct Label {
        QPointF at;
        QString text;
        QColor colour;
    };
    std::vector<Label> labels;

    // Jumps first, lightest, so that boxes and tree edges stay on top.
    for (int pass = 0; pass < 2; ++pass)
        for (const PlanArrow& a : plan.arrows()) {
            if (a.jump != (pass == 0)) continue;
            const PlanBox& from = boxes[size_t(a.from)];
            const PlanBox& to = boxes[size_t(a.to)];
            QColor c = colour(arrowColour(a));
            QPen pen(c, a.jump ? 1.0 : 1.3);
            if (a.dashed) pen.setDashPattern({5, 3});
            if (a.jump) {
                c.setAlphaF(0.75);
                pen.setColor(c);
            }
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            if (a.jump) {
                // A curve from the bottom of the source to the bottom (or top) of the box it goes to.
                const QPointF start(from.x + from.width - 14, from.y + from.height);
                const bool below = to.y > from.y + from.height;
                const QPointF end(to.x + to.width / 2, below ? to.y : to.y + to.height);
                const double bend = 30 + std::abs(end.y() - start.y()) * 0.15;
                const QPointF c1(start.x() + 20, start.y() + bend);
                const QPointF c2(end.x(), below ? end.y() - bend : end.y() + bend);
                QPainterPath path(start);
                path.cubicTo(c1, c2, end);
                p.drawPath(path);
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                arrowHead(p, end, c2);
                labels.push_back({start + QPointF(4, 11), a.label, c});
                continue;
            }
            const double startY = from.y + from.height / 2, endY = to.y + to.height / 2;
            const double trunk = columnRight[size_t(from.depth)] + 14;
            QPainterPath path(QPointF(from.x + from.width, startY));
            path.lineTo(trunk, startY);
            path.lineTo(trunk, endY);
            path.lineTo(to.x - 1, endY);
            p.drawPath(path);
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            arrowHead(p, QPointF(to.x, endY), QPointF(trunk, endY));
            if (!a.label.isEmpty()) labels.push_back({QPointF(trunk + 6, endY - 4), a.label, c.darker(130)});
        }

    for (const PlanBox& b : boxes) {
        const BoxColours c = boxColours(b.kind, b.state);
        const bool marked = b.state == BoxState::Error || b.state == BoxState::Warning;
        p.setPen(QPen(colour(c.stroke), marked ? 2.0 : 1.1));
        p.setBrush(colour(c.fill));
        const QRectF r(b.x, b.y, b.width, b.height);
        p.drawRoundedRect(r, b.kind == BoxKind::Menu || b.kind == BoxKind::Tree ? 6 : 3,
                          b.kind == BoxKind::Menu || b.kind == BoxKind::Tree ? 6 : 3);
        const PlanMetrics& m = plan.metrics();
        const double left = b.x + m.padding;
        double baseline = b.y + m.padding + fm.ascent() + (m.lineHeight - fm.height()) / 2;
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

    p.setFont(bold);
    for (const Label& l : labels) {
        p.setPen(l.colour);
        p.drawText(l.at, l.text);
    }
    p.restore();
}

PlanFormat planFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg")) return PlanFormat::Svg;
    if (suffix == QLatin1String("pdf")) return PlanFormat::Pdf;
    if (suffix == QLatin1String("png")) return PlanFormat::Png;
    if (suffix == QLatin1String("mmd")) return PlanFormat::Mermaid;
    if (suffix == QLatin1String("dot") || suffix == QLatin1String("gv")) return PlanFormat::Dot;
    return PlanFormat::Unknown;
}

namespace {

// The trees one under the other.
QSizeF stackedSize(const std::vector<FlowLayout>& trees) {
    double w = 0, h = 0;
    for (const FlowLayout& t : trees) {
        w = std::max(w, t.width());
        h += t.height();
    }
    return {w, h + kTreeGap * double(trees.empty() ? 0 : trees.size() - 1)};
}

void paintStacked(QPainter& p, const std::vector<FlowLayout>& trees) {
    double y = 0;
    for (const FlowLayout& t : trees) {
        p.save();
        p.translate(0, y);
        paintPlan(p, t);
        p.restore();
        y += t.height() + kTreeGap;
    }
}

// Each picture is drawn into memory, then written whole by the atomic writer.
bool drawSvg(QBuffer& out, const std::vector<FlowLayout>& trees, const QString& title) {
    const QSizeF size = stackedSize(trees);
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setTitle(title);
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    svg.setResolution(96);
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    paintStacked(p, trees);
    return p.end();
}

bool drawPng(QBuffer& out, const std::vector<FlowLayout>& trees) {
    const QSizeF size = stackedSize(trees);
    // Twice the screen size for sharp text, less when that would exceed what a viewer opens.
    const double scale = std::min(2.0, 16000.0 / std::max({size.width(), size.height(), 1.0}));
    QImage image(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.scale(scale, scale);
        paintStacked(p, trees);
    }
    return image.save(&out, "PNG");
}

bool drawPdf(QBuffer& out, const std::vector<FlowLayout>& trees, const QString& title) {
    QPdfWriter pdf(&out);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("QAVO"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&pdf)) return false;
    const double pageW = pdf.width(), pageH = pdf.height();
    // Plans are laid out in screen pixels (96 per inch); a small tree keeps at most 1.5 times that size.
    const double pixel = pdf.resolution() / 96.0;
    const double heading = 18 * pixel;
    const double bodyH = pageH - heading;
    bool first = true;
    for (const FlowLayout& t : trees) {
        const double w = std::max(t.width(), 1.0), h = std::max(t.height(), 1.0);
        // One page when the plan stays legible on it; a large tree is cut into pages at a size that
        // can still be read on paper, columns left to right, rows top to bottom.
        const double fit = std::min({pageW / w, bodyH / h, 1.5 * pixel});
        const double legible = 0.6 * pixel;
        const double scale = std::max(fit, std::min(legible, 1.5 * pixel));
        const int columns = std::max(1, int(std::ceil(w * scale / pageW - 1e-9)));
        const int rows = std::max(1, int(std::ceil(h * scale / bodyH - 1e-9)));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                if (!first) pdf.newPage();
                first = false;
                QFont f = planFont(false);
                f.setPixelSize(int(9 * pixel));
                p.setFont(f);
                p.setPen(QColor(0x60, 0x7d, 0x8b));
                const QString pageTitle = rows * columns == 1 ? title
                                                              : QStringLiteral("%1  (%2/%3)")
                                                                    .arg(title)
                                                                    .arg(row * columns + column + 1)
                                                                    .arg(rows * columns);
                p.drawText(QRectF(0, 0, pageW, heading), Qt::AlignLeft | Qt::AlignTop, pageTitle);
                p.save();
                p.setClipRect(QRectF(0, heading, pageW, bodyH));
                const double left = columns == 1 ? (pageW - w * scale) / 2 : -column * pageW;
                p.translate(left, heading - row * bodyH);
                p.scale(scale, scale);
                paintPlan(p, t);
                p.restore();
            }
        }
    }
    return p.end();
}

bool drawPicture(QBuffer& out, PlanFormat format, const std::vector<FlowLayout>& trees,
                 const QString& title) {
    switch (format) {
    case PlanFormat::Svg:
        return drawSvg(out, trees, title);
    case PlanFormat::Pdf:
        return drawPdf(out, trees, title);
    case PlanFormat::Png:
        return drawPng(out, trees);
    case PlanFormat::Mermaid:
        return out.write(planMermaid(trees).toUtf8()) >= 0;
    case PlanFormat::Dot:
        return out.write(planDot(trees).toUtf8()) >= 0;
    case PlanFormat::Unknown:
        break;
    }
    return false;
}

} // namespace

QString writePlan(const QString& path, const std::vector<FlowLayout>& trees, const QString& title) {
    if (trees.empty()) return QStringLiteral("no tree to draw");
    const PlanFormat format = planFormatOf(path);
    if (format == PlanFormat::Unknown)
        return QStringLiteral("unknown format (svg, pdf, png, mmd or dot): ") + path;
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!drawPicture(out, format, trees, title)) return QStringLiteral("picture too large for ") + path;
    out.close();
    const QString error = platform::writeFileAtomically(path, bytes);
    return error.isEmpty() ? QString()
                           : QStringLiteral("cannot write ") + path + QStringLiteral(": ") + error;
}

} // namespace flow
