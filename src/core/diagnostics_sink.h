#pragma once

#include <QString>

// Where file operations and verification findings are reported. The diagnostics list of the main
// window is one; the headless tools print them.
class DiagnosticsSink {
public:
    // Levels of a finding.
    enum Level : short { Info = 0, Warning = 1, Error = 2, Ok = 3 };

    virtual ~DiagnosticsSink() = default;
    virtual void AjouteInfo(const QString& message, short level, const QString& tag) = 0;
};

// Swallows everything.
class NullDiagnostics final : public DiagnosticsSink {
public:
    void AjouteInfo(const QString&, short, const QString&) override {}
};
