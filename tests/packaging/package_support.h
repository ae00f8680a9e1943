#pragma once

// Tools run as an administrator runs them, and the package unpacked once for every check.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace package_testing {

struct Result {
    int exitCode = -1; // -1: did not start or finish in time
    QString out, err;
};

// Runs program with args; env ("NAME=value") is added to the test's environment.
Result run(const QString& program, const QStringList& args, const QStringList& env = {},
           int timeoutMs = 120000);
// Whether a program is on PATH.
bool hasTool(const QString& program);

// The package built by package.build, extracted with dpkg -x into a throwaway root.
class Package {
public:
    static const Package& instance();
    bool available() const { return !m_deb.isEmpty() && !m_root.isEmpty(); }
    QString whyNot() const { return m_why; }
    QString deb() const { return m_deb; }
    // A path inside the extracted root ("/usr/bin/qavo" -> "<root>/usr/bin/qavo").
    QString path(const QString& inside) const { return m_root + inside; }

private:
    Package();
    QTemporaryDir m_dir{
        QStringLiteral(QAVO_BUILD_DIR "/package-root-XXXXXX")}; // beside the build: executable
    QString m_deb, m_root, m_why;
};

} // namespace package_testing
