#pragma once

// What the rest of the editor knows of the line windows: opening one, and the server reset of the lines.

class Prompts;
class QWidget;
struct AppContext;

// The line window of the server's generation (generation 900: the line table; otherwise the ranges of
// numbers of generation 500), modal over parent; returns once it is closed.
void openLineTableWindow(AppContext& ctx, Prompts& prompts, QWidget* parent);

// The server reset of the lines, run without a window: the auto-attendant is taken off the server's
// lines. False when a request failed.
bool resetServerLines(AppContext& ctx);
