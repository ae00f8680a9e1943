#pragma once

#include <QString>
#include <QUrl>
#include <functional>

struct AppContext;

// The help file beside the program: "QAVO_Hp" + language number formatted "0#" + ".html" (French 00,
// English 01, ...). The file of language 00 stands in when the language has none.
QString helpFilePath(const QString& programDir, const QString& lang);
QString helpFilePath(const AppContext& ctx);

// Opens the help file of the current language with the desktop's viewer; false when there is no help
// file or the desktop could not open it. Tests pass their own opener.
bool openHelpFile(const AppContext& ctx,
                  const std::function<bool(const QUrl&)>& opener = std::function<bool(const QUrl&)>());
