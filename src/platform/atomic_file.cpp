#include "platform/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

bool syncHandle(int handle) {
#ifdef _WIN32
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

// Makes a finished rename survive a power cut: the folder's entry is on disk too.
void syncFolder(const QString& folder) {
#ifndef _WIN32
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

// Replaces `to` by `from` in one step; the empty string on success.
QString renameOver(const QString& from, const QString& to) {
#ifdef _WIN32
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return qt_error_string(int(GetLastError()));
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return {};
    return qt_error_string(errno);
#endif
}

QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

int hardLinkCount(const QString& path) {
    std::error_code noThrow;
    const auto count = std::filesystem::hard_link_count(QFileInfo(path).filesystemFilePath(), noThrow);
    return noThrow ? 1 : int(count);
}

} // namespace

AtomicFile::AtomicFile(const QString& path, Durability durability)
    : m_target(resolvedTarget(path)), m_durability(durability) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(const QString& what) {
    m_error = what.isEmpty() ? qt_error_string(errno) : what;
    discard();
    return false;
}

bool AtomicFile::open() {
    m_error.clear();
    const QFileInfo target(m_target);
    if (m_target.isEmpty()) return fail(QStringLiteral("no file name"));
    if (target.exists() && !target.isFile()) {
        // A device or a folder: a device takes the bytes as they come, a folder refuses them.
        m_inPlace = true;
        m_file.setFileName(m_target);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(m_file.errorString());
        return true;
    }
    m_inPlace = false;
    const QString stem = QDir(target.absolutePath()).filePath(target.fileName() + QStringLiteral(".qavo-"));
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_file.setFileName(stem + QString::number(QRandomGenerator::global()->generate(), 36) +
                           QStringLiteral(".tmp"));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return true;
        if (m_file.error() != QFileDevice::OpenError || !QFileInfo::exists(m_file.fileName())) break;
    }
    const QString why = m_file.errorString();
    m_file.setFileName(QString());
    return fail(why);
}

bool AtomicFile::write(const char* data, qint64 size) {
    if (!m_file.isOpen()) return false;
    // Unbuffered: each refusal of the system shows here. A partial write is retried for the rest so the
    // system says why it stopped.
    while (size > 0) {
        const qint64 written = m_file.write(data, size);
        if (written <= 0) return fail(m_file.errorString());
        data += written;
        size -= written;
    }
    return true;
}

bool AtomicFile::commit() {
    if (!m_file.isOpen()) return false;
    if (m_durability == Durability::Synced && !m_inPlace && !syncHandle(m_file.handle()))
        return fail(qt_error_string(errno));
    if (m_inPlace) {
        m_file.close();
        if (m_file.error() != QFileDevice::NoError) return fail(m_file.errorString());
        return true;
    }
    const QFileInfo target(m_target);
    if (target.exists()) {
        m_file.setPermissions(target.permissions());
        m_linkBroken = hardLinkCount(m_target) > 1;
    }
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) return fail(m_file.errorString());
    const QString renamed = renameOver(m_file.fileName(), m_target);
    if (!renamed.isEmpty()) {
        m_linkBroken = false;
        return fail(renamed);
    }
    m_file.setFileName(QString());
    if (m_durability == Durability::Synced) syncFolder(target.absolutePath());
    return true;
}

void AtomicFile::discard() {
    if (m_file.isOpen()) m_file.close();
    if (!m_inPlace && !m_file.fileName().isEmpty()) QFile::remove(m_file.fileName());
    m_file.setFileName(QString());
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes, AtomicFile::Durability durability,
                            bool* linkBroken) {
    AtomicFile file(path, durability);
    const bool written = file.open() && file.write(bytes) && file.commit();
    if (linkBroken) *linkBroken = written && file.linkBroken();
    return written ? QString() : file.errorString();
}

} // namespace platform

namespace platform {

QString replaceFile(const QString& from, const QString& to) {
    return renameOver(from, to);
}

} // namespace platform
