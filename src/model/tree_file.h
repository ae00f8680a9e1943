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

// Tree files larger than this are refused: no real tree comes near it, and reading one costs memory
// in proportion.
constexpr qint64 kMaxTreeFileSize = 64 * 1024 * 1024;

// Writes the whole configuration (general parameters, schedules, then every tree and menu node's section
// in insertion order) in the ANSI code page with CR LF line ends. The file is replaced whole, so a
// failed write leaves the old file as it was; other hard links of it keep the old content, which the
// diagnostics say. Returns false when the file cannot be written, with the cause in *errorText when given.
bool SaveArbre(const Configuration& config, const QString& path, bool silent, const AppContext& ctx,
               const TreeFileHooks& hooks = {}, QString* errorText = nullptr);

// The writing part of SaveArbre: "" when written, else the cause. A journal step is not synced.
QString writeTreeFile(const QString& path, const QByteArray& bytes, bool journal = false,
                      bool* linkBroken = nullptr);

// The bytes SaveArbre writes.
QByteArray treeFileBytes(const Configuration& config);

// Replaces the model by the content of the file; "" or a missing file gives the five default trees.
void ChargementArbres(Configuration& config, const QString& path, const AppContext& ctx,
                      const TreeFileHooks& hooks = {});

// False when the server cannot run the file (voice boxes on a server before generation 500).
bool verifVersionArbo(const QString& path, const AppContext& ctx);

// What opening a file gave; nothing changed unless it is Opened.
enum class OpenResult {
    Opened,         // loaded; fileCourant is the path and the configuration is saved
    RefusedVersion, // verifVersionArbo said no: the caller shows "ERROR - VERSION"
    Missing,        // no such file, or not a regular file (a folder): ignored
    TooLarge,       // over kMaxTreeFileSize
    Unreadable,     // exists but cannot be read
    NotTreeFile,    // holds no section of a tree file (general, H<n>, A<n>, M<n>)
};

// True for the bytes of a tree file (a section of one, within the size limit): what a fetched file must
// be before it takes the place of a tree.
bool isTreeFileContent(const QByteArray& bytes);

// The model side of opening a file: the checks above, then fileCourant, the load and the saved state.
// The file is read once. The window adds its title, the selection of A1 and the journal's first step.
OpenResult openTreeFile(Configuration& config, const QString& path, const AppContext& ctx,
                        const TreeFileHooks& hooks = {});
// What openTreeFile would answer, without loading anything: the refusals only.
OpenResult checkTreeFile(const QString& path, const AppContext& ctx);
