#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

struct AppContext;
class DiagnosticsSink;
struct git_repository;

// The local history of what every server held: an ordinary git repository (bare, branch "main") with one
// folder per server, one commit per transfer that changed something. Written through libgit2; only the
// programs that record or read history link this library.
namespace history {

// One commit of the history.
struct Revision {
    QString id;      // full commit id
    QDateTime when;  // commit time (local time)
    QString author;  // operating-system user
    QString email;   // <login>@<server>
    QString server;  // server folder name (host_port ...)
    QString what;    // "send", "fetch", "reset", "lines", "restore of <date>"
    int changes = 0; // number of change lines in the message
    QString message; // the whole commit message
};

// The files of one event: name as the server has it ("arbre.maa", "rcm.cfg" ...) and bytes.
using Files = QList<QPair<QString, QByteArray>>;

QString historyRoot(const AppContext& ctx); // QAVO_HISTORY_DIR, else <work folder>/history
// "host_port"; "https_host_port" for TLS; an IPv6 address without brackets or colons.
QString serverFolder(const QString& host, const QString& port, bool tls);
// The folder of the server the context talks to (HADDR with its scheme, HPORT or the scheme's port).
QString serverFolderOf(const AppContext& ctx);

// Reading the history. One per use; cheap to open. A missing repository reads as an empty one.
class Repository {
public:
    explicit Repository(QString root);
    ~Repository();
    Repository(const Repository&) = delete;
    Repository& operator=(const Repository&) = delete;

    QString error() const { return error_; } // why the last call failed, "" when it did not
    QString root() const { return root_; }
    QStringList servers() const; // server folders known, sorted
    // Newest first; "" = all servers; limit -1 = all.
    QList<Revision> revisions(const QString& server, int limit = -1) const;
    // A file of a server as it stood at a revision, e.g. name "arbre.maa"; nothing when absent.
    std::optional<QByteArray> file(const QString& revision, const QString& server, const QString& name) const;
    // Abbreviated id, or SERVER@{N} (N events of that server back, 0 = the last) -> full id, "" if none.
    QString resolve(const QString& name) const;
    // The server a revision belongs to ("" when unknown).
    QString serverOf(const QString& revision) const;

private:
    // Opens the repository on first use; false (error_ set) when it cannot be read.
    bool open() const;
    QString root_;
    mutable QString error_;
    mutable git_repository* repo_ = nullptr;
};

// Records one event: commits the files into the server's folder, unless every one equals the server's
// last revision. Returns the new commit id, "" when unchanged or when the history could not be written
// (then said in diagnostics, when given, and in the debug log). Never throws; two processes recording at
// once both succeed.
QString record(const AppContext& ctx, const QString& server, const QString& what, const Files& files,
               const QStringList& changeLines, DiagnosticsSink* diagnostics = nullptr);
// The same, the error returned instead of reported ("" when recorded or unchanged).
QString recordAt(const QString& root, const QString& server, const QString& what, const Files& files,
                 const QStringList& changeLines, const QString& author, const QString& email,
                 QString* newRevision);

// Keeps the keep newest revisions of a server and drops the older ones (the repository is rewritten and
// repacked). Returns the number dropped, or -1 with the reason in *error.
int prune(const QString& root, const QString& server, int keep, QString* error);

// The operating-system user, as commits name their author.
QString systemUser();

} // namespace history
