#pragma once

#include "model/configuration.h"
#include "model/field_rules.h"

#include <QString>

struct AppContext;
class DiagnosticsSink;
namespace platform {
class Pacing;
}

// What the window shows while a verification runs (wait cursor, progress bar).
class VerificationObserver {
public:
    virtual ~VerificationObserver() = default;
    virtual void verificationStarted() {}
    // current runs from 1 to maximum, once per section of the store, examined or skipped.
    virtual void verificationProgress(int /*current*/, int /*maximum*/) {}
    virtual void verificationFinished() {}
};

// The analysis of the whole configuration before it is sent: reports each fault to the diagnostics,
// colours the nodes (red error, orange warning never over red) and records the faulty fields of every
// section. The editor keeps one verifier; a run started while another is in progress (the pacing lets
// window events run between sections) is refused.
class TreeVerifier {
public:
    // Result of a run stopped by an unexpected fault, and of a run refused because one is in progress.
    static constexpr int Aborted = -1;
    // The window pauses this long after each section so that the progress bar can be followed.
    static constexpr int SectionPauseMs = 20;

    TreeVerifier(const AppContext& ctx, DiagnosticsSink& diagnostics, platform::Pacing& pacing,
                 VerificationObserver* observer = nullptr);

    // Runs the analysis; returns the number of errors, or Aborted.
    int verifArbo(Configuration& config);

    bool isRunning() const { return m_running; }
    // Warnings of the last completed run.
    int lastWarningCount() const { return m_lastWarnings; }

private:
    const AppContext& m_ctx;
    DiagnosticsSink& m_diagnostics;
    platform::Pacing& m_pacing;
    VerificationObserver* m_observer;
    bool m_running = false;
    int m_lastWarnings = 0;
};
