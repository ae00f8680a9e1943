#pragma once

#include <QString>

struct AppContext;
struct Configuration;
namespace platform {
class Pacing;
}

// Files moved between the editor and the voice server, each fetched or stored by bare name through the
// context's gateway.
namespace server_transfers {

inline const QString InfoFileName = QStringLiteral("qavo_general.txt");
inline const QString TreeFileName = QStringLiteral("arbre.maa");
// How long a fetched file may take to become readable, and the pause between two looks.
constexpr int FileWaitBoundMs = 30000;
constexpr int FileWaitPauseMs = 50;

// The connect step before every exchange: the gateway's parameters for file transfers.
bool connectServer(AppContext& ctx, bool reconnect);

// Fetches one file. After a result 0 it waits, through the pacing object, until the local file can be
// opened for reading, at most boundMs. True when the local file is there; a failed fetch leaves none.
bool fetchServerFile(AppContext& ctx, const QString& remoteName, const QString& localPath,
                     platform::Pacing& pacing, int boundMs = FileWaitBoundMs);

// The start-up fetch of online mode: the information file (becomes fileLecture), then the server's
// tree into fileServeur (fileAOuvrir := fileServeur, or "$$NEW$$" when the server has none). False when
// the information file could not be fetched: start-up then ends on the connection error.
bool fetchServerInfo(AppContext& ctx, platform::Pacing& pacing);

// The server's tree fetched again into fileServeur (deleted first). True when it arrived.
bool fetchServerTree(AppContext& ctx, platform::Pacing& pacing);

enum class SendResult {
    Sent,        // the server holds the tree; the caller fetches it back
    WriteFailed, // the tree could not be written for sending: nothing was sent
    StoreFailed, // the server did not take it (lastReason says why)
};
// The tree written to repTMP as "arbreToTransfert.maa", the server's previous tree kept in
// "transfertTMP.tmp", then stored as "arbre.maa".
SendResult sendTree(AppContext& ctx, const Configuration& config, platform::Pacing& pacing);

// Why the last exchange failed, in one line.
QString lastReason(AppContext& ctx);

} // namespace server_transfers
