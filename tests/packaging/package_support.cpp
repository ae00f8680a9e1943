#include "packaging/package_support.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace package_testing {

Result run(const QString& program, const QStringList& args, const QStringList& env, int timeoutMs) {
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& e : env)
        environment.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(environment);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

bool hasTool(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

const Package& Package::instance() {
    static const Package package;
    return package;
}

Package::Package() {
    const QStringList debs =
        QDir(QStringLiteral(QAVO_BUILD_DIR)).entryList({QStringLiteral("qavo_*.deb")}, QDir::Files);
    if (debs.size() != 1) {
        m_why = QStringLiteral("no package in the build folder (package.build was skipped or failed)");
        return;
    }
    const QString deb = QDir(QStringLiteral(QAVO_BUILD_DIR)).filePath(debs.first());
    const QString root = m_dir.filePath(QStringLiteral("root"));
    const Result extracted = run(QStringLiteral("dpkg"), {QStringLiteral("-x"), deb, root});
    if (extracted.exitCode != 0) {
        m_why = QStringLiteral("dpkg -x failed: ") + extracted.err;
        return;
    }
    m_deb = deb;
    m_root = root;
}

} // namespace package_testing
