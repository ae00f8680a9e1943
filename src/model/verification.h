#pragma once

#include "model/configuration.h"

#include <QList>
#include <QString>

struct AppContext;
struct Announcement;
struct Station;
class DiagnosticsSink;
namespace platform {
class Pacing;
}

// The number test of every "malformed" check. A value made only of the allowed characters (compared
// without regard to case) passes; otherwise what is left once they are removed must be a non-negative
// 32-bit integer without ",", "." or "&". An empty value fails.
bool isNumberField(const QString& value, const QString& allowedCharacters);

// True when the server's list has this announcement; languageIndex 1..4 also requires its flag for that
// language, 0 accepts any language.
bool announcementExists(const QList<Announcement>& announcements, qint32 number, int languageIndex);
// Exact, case-sensitive comparison with the station numbers / voice-box numbers of the server's list.
bool stationExists(const QList<Station>& stations, const QString& number);
bool voiceBoxExists(const QList<Station>& stations, const QString& voiceBox);

// Code of a field in errorFields / warningFields: the value index as two digits and ";", then the
// parameter suffix ("", "1;", "2;" or "3;" for the parameters of an announcement key).
QString fieldCode(int valueIndex, const QString& parameterSuffix = {});

// Colour of a field after the last verification: red when its code is among the section's errors,
// else orange when among its warnings, else black. Without a suffix, a key whose announcement
// parameters are faulty is found too. sectionIndex is 1-based; an unknown section gives black.
int fieldStateColour(const SectionStore& store, int sectionIndex, int valueIndex,
                     const QString& parameterSuffix = {});

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
