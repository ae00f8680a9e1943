#pragma once

#include "model/configuration.h"

#include <QString>
#include <functional>

class DiagnosticsSink;
struct AppContext;

// What loading and saving a tree file tell the rest of the editor: a diagnostic line, a file for the
// recent-file list, and which paths are journal files (those are neither reported nor remembered).
struct TreeFileHooks {
    DiagnosticsSink* diagnostics = nullptr;
    std::function<void(const QString& path)> recentFile;
    std::function<bool(const QString& path)> isJournalFile;
};

// Writes the whole configuration (general parameters, schedules, then every tree and menu node's section
// in insertion order) in the ANSI code page with CR LF line ends. The file is replaced atomically: a
// failed write leaves the old file as it was. Returns false when the file cannot be written.
bool SaveArbre(const Configuration& config, const QString& path, bool silent, const AppContext& ctx,
               const TreeFileHooks& hooks = {});

// The bytes SaveArbre writes.
QByteArray treeFileBytes(const Configuration& config);

// Replaces the model by the content of the file; "" or a missing file gives the five default trees.
void ChargementArbres(Configuration& config, const QString& path, const AppContext& ctx,
                      const TreeFileHooks& hooks = {});

// False when the server cannot run the file (voice boxes on a server before generation 500).
bool verifVersionArbo(const QString& path, const AppContext& ctx);

enum class OpenResult {
    Opened,         // loaded; fileCourant is the path and the configuration is saved
    RefusedVersion, // verifVersionArbo said no: the caller shows "ERROR - VERSION"; nothing changed
    Missing,        // no such file: ignored, nothing changed
};

// The model side of opening a file: the version check, then fileCourant, ChargementArbres and the saved
// state. The window adds its title, the selection of A1 and the journal's first step.
OpenResult openTreeFile(Configuration& config, const QString& path, const AppContext& ctx,
                        const TreeFileHooks& hooks = {});
