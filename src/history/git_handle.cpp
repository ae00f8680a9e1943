#include "history/git_handle.h"

namespace history::git {

void start() {
    // Started once and left running: the process ends it.
    static const int started = git_libgit2_init();
    (void)started;
}

QString lastError() {
    const git_error* e = git_error_last();
    return e && e->message ? QString::fromUtf8(e->message) : QStringLiteral("libgit2");
}

QString idText(const git_oid& id) {
    char text[GIT_OID_HEXSZ + 1];
    git_oid_tostr(text, sizeof text, &id);
    return QString::fromLatin1(text);
}

} // namespace history::git
