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
    // A verification finding, with the label key of its diagnostic (a name that stays the same in every
    // language). Lists that show the text alone take it as any other line.
    virtual void AjouteFinding(const QString& message, short level, const QString& tag, const QString& key) {
        (void)key;
        AjouteInfo(message, level, tag);
    }
};

// Swallows everything.
class NullDiagnostics final : public DiagnosticsSink {
public:
    void AjouteInfo(const QString&, short, const QString&) override {}
};
