#pragma once

// How one box and one arrow of the plan look: the pictures and the editor's plan view draw them with
// these, so that a box reads the same on screen and on paper.

#include "flow/flow_layout.h"

#include <QFont>
#include <QRectF>

class QPainter;

namespace flow {

QFont planFont(bool bold);

// The box with its text, its top left corner at topLeft.
void paintBox(QPainter& painter, const PlanBox& box, const PlanMetrics& metrics, QPointF topLeft);
// The arrow along its points, with its head and label; emphasised draws it heavier (its box is selected).
void paintArrow(QPainter& painter, const PlanArrow& arrow, bool emphasised = false);
// What paintArrow covers.
QRectF arrowBounds(const PlanArrow& arrow);

} // namespace flow
