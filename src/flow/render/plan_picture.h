#pragma once

// The plan as a picture: drawn with QPainter into SVG, PDF (one tree a page, A4 landscape) or PNG.
// Needs a QGuiApplication for its fonts.

#include "flow/flow_layout.h"

#include <QString>
#include <vector>

class QPainter;

namespace flow {

// Sizes measured with the picture's fonts, so that every box holds its text.
PlanMetrics pictureMetrics();

// Draws a plan in its own coordinates (0, 0 to width, height).
void paintPlan(QPainter& painter, const FlowLayout& plan);

enum class PlanFormat { Svg, Pdf, Png, Mermaid, Dot, Unknown };
// By the file's extension, in any case.
PlanFormat planFormatOf(const QString& path);

// Writes the plans in the format of the path's extension; title names the document (SVG and PDF
// metadata, page heading). Returns "" when written, else why not.
QString writePlan(const QString& path, const std::vector<FlowLayout>& trees, const QString& title);

} // namespace flow
