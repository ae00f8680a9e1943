#pragma once

#include <QString>

class Prompts;
class QWidget;
class TreeDocument;
struct AppContext;

// The windows of the Options and "?" menus, modal over parent. The schedule and parameter windows work
// on a copy and write into the document on OK, which marks it modified and records the journal step;
// the schedule window updates folder, the last folder used, when it imports a file.
void showScheduleWindow(TreeDocument& document, Prompts& prompts, QString& folder, const QString& title,
                        QWidget* parent);
void showParameterWindow(TreeDocument& document, const QString& title, QWidget* parent);
void showAboutWindow(const AppContext& ctx, const QString& title, QWidget* parent);
