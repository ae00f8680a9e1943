#include "flow/render/plan_picture.h"

#include "flow/plan_text.h"
#include "flow/render/plan_paint.h"

#include "platform/atomic_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace flow {

namespace {

constexpr double kFontPixels = 11;
constexpr double kMinTextPixels = 8;      // smaller text is not read on a screen
constexpr double kMaxImageSide = 16000;   // what common viewers open
constexpr qsizetype kMermaidText = 50000; // Mermaid's default maxTextSize
constexpr double kTreeGap = 40;           // between the trees of one SVG or PNG picture

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

// Tree edges under the boxes; jumps over them, so that none hides under a box it passes.
void paintPlan(QPainter& p, const FlowLayout& plan) {
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PlanArrow& a : plan.arrows())
        if (!a.jump) paintArrow(p, a);
    for (const PlanBox& b : plan.boxes())
        paintBox(p, b, plan.metrics(), QPointF(b.x, b.y));
    for (const PlanArrow& a : plan.arrows())
        if (a.jump) paintArrow(p, a);
    p.restore();
}

std::vector<double> tileStarts(const std::vector<std::pair<double, double>>& spans, double total,
                               double page) {
    std::vector<double> starts{0};
    while (starts.back() + page < total) {
        const double edge = starts.back() + page;
        double next = edge;
        for (const auto& [first, last] : spans)
            if (first < edge && last > edge) next = std::min(next, first);
        // A box taller than half a page is cut rather than repeated page after page.
        starts.push_back(next > starts.back() + page / 2 ? next : edge);
    }
    return starts;
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

// Twice the screen size for sharp text, less when that would exceed what a viewer opens.
double pngScale(QSizeF size) {
    return std::min(2.0, kMaxImageSide / std::max({size.width(), size.height(), 1.0}));
}

bool legibleAsPng(const std::vector<FlowLayout>& trees) {
    return kFontPixels * pngScale(stackedSize(trees)) >= kMinTextPixels;
}

bool drawPng(QBuffer& out, const std::vector<FlowLayout>& trees) {
    const QSizeF size = stackedSize(trees);
    const double scale = pngScale(size);
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

// The tiles of one plan along one axis, in plan units: where a box is cut by a page edge, the next tile
// starts at that box, so that it is whole there.
std::vector<double> tilesOf(const FlowLayout& t, bool across, double page) {
    std::vector<std::pair<double, double>> spans;
    spans.reserve(t.boxes().size());
    for (const PlanBox& b : t.boxes())
        spans.push_back(across ? std::pair{b.x, b.x + b.width} : std::pair{b.y, b.y + b.height});
    return tileStarts(spans, across ? t.width() : t.height(), page);
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
        const double scale = std::max(fit, 0.6 * pixel);
        const std::vector<double> xs = tilesOf(t, true, pageW / scale);
        const std::vector<double> ys = tilesOf(t, false, bodyH / scale);
        const int pages = int(xs.size() * ys.size());
        for (size_t row = 0; row < ys.size(); ++row) {
            for (size_t column = 0; column < xs.size(); ++column) {
                if (!first) pdf.newPage();
                first = false;
                QFont f = planFont(false);
                f.setPixelSize(int(9 * pixel));
                p.setFont(f);
                p.setPen(QColor(0x60, 0x7d, 0x8b));
                const QString pageTitle = pages == 1 ? title
                                                     : QStringLiteral("%1  (%2/%3)")
                                                           .arg(title)
                                                           .arg(int(row * xs.size() + column) + 1)
                                                           .arg(pages);
                p.drawText(QRectF(0, 0, pageW, heading), Qt::AlignLeft | Qt::AlignTop, pageTitle);
                p.save();
                p.setClipRect(QRectF(0, heading, pageW, bodyH));
                const double left = xs.size() == 1 ? (pageW - w * scale) / 2 : -xs[column] * scale;
                p.translate(left, heading - ys[row] * scale);
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

// "plan.png" -> "plan-2.png" for tree 2.
QString treePath(const QString& path, int tree) {
    const QString suffix = QFileInfo(path).suffix();
    return path.chopped(suffix.size() + 1) + QLatin1Char('-') + QString::number(tree) + QLatin1Char('.') +
           suffix;
}

// Draws the trees into one file and writes it whole with the atomic writer.
void writeOne(PlanWriting& result, const QString& path, PlanFormat format,
              const std::vector<FlowLayout>& trees, const QString& title) {
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!drawPicture(out, format, trees, title)) {
        result.outcome = PlanOutcome::NotWritten;
        result.reason = QStringLiteral("picture too large");
        return;
    }
    out.close();
    if (const QString error = platform::writeFileAtomically(path, bytes); !error.isEmpty()) {
        result.outcome = PlanOutcome::NotWritten;
        result.reason = error;
        return;
    }
    result.files << path;
}

} // namespace

PlanWriting writePlan(const QString& path, const std::vector<FlowLayout>& trees, const QString& title) {
    PlanWriting result;
    const PlanFormat format = planFormatOf(path);
    if (trees.empty()) result.outcome = PlanOutcome::NoTree;
    if (format == PlanFormat::Unknown) result.outcome = PlanOutcome::UnknownFormat;
    if (result.outcome != PlanOutcome::Written) return result;
    // A picture that would be unreadable whole is written one tree a file, or refused.
    bool perTree = false;
    if (format == PlanFormat::Png && !legibleAsPng(trees)) {
        perTree = trees.size() > 1;
        for (const FlowLayout& t : trees)
            if (!legibleAsPng({t})) perTree = false;
        if (!perTree) {
            result.outcome = PlanOutcome::TextTooSmall;
            return result;
        }
    }
    if (format == PlanFormat::Mermaid && planMermaid(trees).size() > kMermaidText) {
        perTree = trees.size() > 1;
        result.overMermaidLimit = !perTree;
        for (const FlowLayout& t : trees)
            result.overMermaidLimit = result.overMermaidLimit || planMermaid({t}).size() > kMermaidText;
    }
    if (!perTree) {
        writeOne(result, path, format, trees, title);
        return result;
    }
    for (const FlowLayout& t : trees)
        if (result.outcome == PlanOutcome::Written)
            writeOne(result, treePath(path, t.tree()), format, {t}, title);
    return result;
}

} // namespace flow
