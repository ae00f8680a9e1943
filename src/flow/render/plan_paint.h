#pragma once

// How one box and one arrow of the plan look: the pictures and the editor's plan view draw them with
// these, so that a box reads the same on screen and on paper.

#include "flow/flow_layout.h"

#include <QFont>
#include <QRectF>

class QPainter;

namespace flow {

QFont planFont(bool bold);

// Whether the plan's text can be read at this scale. Below it a view draws each text line as a faint bar
// of its length: nobody reads a text a few pixels high, and shaping hundreds of them is most of a paint.
bool textLegibleAt(double scale);

// The box with its text (or the bars standing for it), its top left corner at topLeft.
void paintBox(QPainter& painter, const PlanBox& box, const PlanMetrics& metrics, QPointF topLeft,
              bool legible = true);
// The arrow along its points, with its head and label; emphasised draws it heavier (its box is selected).
void paintArrow(QPainter& painter, const PlanArrow& arrow, bool emphasised = false, bool legible = true);
// What paintArrow covers.
QRectF arrowBounds(const PlanArrow& arrow);

} // namespace flow
