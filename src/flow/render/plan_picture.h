#pragma once

// The plan as a picture: drawn with QPainter into SVG, PDF (one tree a page, A4 landscape) or PNG.
// Needs a QGuiApplication for its fonts.

#include "flow/flow_layout.h"

#include <QString>
#include <QStringList>
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

enum class PlanOutcome {
    Written,
    NoTree,
    UnknownFormat,
    TextTooSmall, // a PNG whose text would be too small to read, even one tree a file: nothing written
    NotWritten,   // see reason
};

struct PlanWriting {
    PlanOutcome outcome = PlanOutcome::Written;
    QStringList files;             // written: the path, or one file a tree ("plan-2.png" for tree 2)
    QString reason;                // why the file was not written
    bool overMermaidLimit = false; // a Mermaid file is longer than Mermaid reads unless told otherwise
};

// Writes the plans in the format of the path's extension; title names the document (SVG and PDF
// metadata, page heading). A PNG or Mermaid file too large to be read whole is written one tree a file.
PlanWriting writePlan(const QString& path, const std::vector<FlowLayout>& trees, const QString& title);

// Where the pages of a plan cut it along one axis: the start of each tile, in plan units, each at most
// `page` long; a box (first, last) cut by the end of a tile is whole on the next one, which overlaps.
std::vector<double> tileStarts(const std::vector<std::pair<double, double>>& spans, double total,
                               double page);

} // namespace flow
