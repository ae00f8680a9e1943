#include "history/packing.h"

#include "history/git_handle.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace history {

namespace {

// Loose objects live in objects/XX/ by the first byte of their id: the number of those folders grows
// with the loose objects (about 60 folders for 70 objects), and counting them is one folder read.
constexpr int kPackAtFolders = 48;
// Packs gathered into one beyond this many.
constexpr int kMaxPacks = 12;

QStringList looseFolders(const QDir& objects) {
    static const QRegularExpression hex2(QStringLiteral("^[0-9a-f]{2}$"));
    return objects.entryList(QDir::Dirs | QDir::NoDotAndDotDot).filter(hex2);
}

QString writePack(git_packbuilder* pb, const QDir& objects) {
    git_packbuilder_set_threads(pb, 1);
    if (git_packbuilder_write(pb, QFile::encodeName(objects.filePath(QStringLiteral("pack"))).constData(), 0,
                              nullptr, nullptr) != 0)
        return git::lastError();
    return {};
}

void removeLoose(const QDir& objects) {
    for (const QString& folder : looseFolders(objects))
        QDir(objects.filePath(folder)).removeRecursively();
}

} // namespace

QString packIfGrown(git_repository* repo, const QString& root) {
    const QDir objects(QDir(root).filePath(QStringLiteral("objects")));
    const QStringList folders = looseFolders(objects);
    if (folders.size() < kPackAtFolders) return {};
    const QStringList packs =
        QDir(objects.filePath(QStringLiteral("pack"))).entryList({QStringLiteral("*.pack")}, QDir::Files);
    if (packs.size() >= kMaxPacks) return repackAll(repo, root);

    git_packbuilder* raw = nullptr;
    if (git_packbuilder_new(&raw, repo) != 0) return git::lastError();
    git::PackBuilder pb(raw);
    for (const QString& folder : folders)
        for (const QString& rest : QDir(objects.filePath(folder)).entryList(QDir::Files)) {
            git_oid id;
            const QByteArray hex = (folder + rest).toLatin1();
            if (hex.size() != GIT_OID_HEXSZ || git_oid_fromstr(&id, hex.constData()) != 0) continue;
            if (git_packbuilder_insert(pb.get(), &id, nullptr) != 0) return git::lastError();
        }
    if (const QString error = writePack(pb.get(), objects); !error.isEmpty()) return error;
    removeLoose(objects);
    return {};
}

QString repackAll(git_repository* repo, const QString& root) {
    const QDir objects(QDir(root).filePath(QStringLiteral("objects")));
    const QDir packDir(objects.filePath(QStringLiteral("pack")));
    const QStringList before = packDir.entryList({QStringLiteral("pack-*")}, QDir::Files);

    git_packbuilder* raw = nullptr;
    if (git_packbuilder_new(&raw, repo) != 0) return git::lastError();
    git::PackBuilder pb(raw);
    git_revwalk* walkRaw = nullptr;
    if (git_revwalk_new(&walkRaw, repo) != 0) return git::lastError();
    git::Walk walk(walkRaw);
    if (git_revwalk_push_ref(walk.get(), git::kBranch) == 0 &&
        git_packbuilder_insert_walk(pb.get(), walk.get()) != 0)
        return git::lastError();
    if (const QString error = writePack(pb.get(), objects); !error.isEmpty()) return error;
    const QString kept = QStringLiteral("pack-") + QString::fromLatin1(git_packbuilder_name(pb.get()));
    for (const QString& file : before)
        if (!file.startsWith(kept)) QFile::remove(packDir.filePath(file));
    removeLoose(objects);
    return {};
}

} // namespace history
