#pragma once

#include "lines/record_codec.h"

#include <QList>
#include <QString>

#include <optional>

struct AppContext;
class Translation;

// The server's application table as the line windows use it.

// An auto-attendant application: code 451 to 455.
inline constexpr int FirstAttendantApp = 451;
inline constexpr int LastAttendantApp = 455;
// Applications from this code on are not offered anywhere.
inline constexpr int MaxApplicationCode = 490;
// Name shown for an application the server does not know.
inline const QString UnknownApplicationName = QStringLiteral("****************");

struct ApplicationLoad {
    QList<ApplicationRecord> records; // the records read, in order, raw texts
    bool ok = false;                  // every page was read
};

// loadApplications, lireApplication and lireNomApplication ask the server: they are built with the
// server link (application_requests.cpp).

// Pages through the table with request 0, 157 records a page: a full page is followed by a request
// starting at that page's last index. A failed request or refused reply stops it, keeping what was read.
ApplicationLoad loadApplications(AppContext& ctx);

// A code text read as a number, as the server writes it (leading blanks, then digits; 0 without digits).
int codeValue(const QString& code);
bool isAttendantApp(int code);

// Display name: a name starting with "$" is a key of section "VOIES" (the rest, trimmed); otherwise the
// trimmed name.
QString displayName(const Translation& tr, const QString& name);

// One entry of the window lists: code, display name, second code, fourth field.
struct ApplicationItem {
    QString code;
    QString name;
    QString code2;
    QString field4;
    // List item text: the four parts joined by "|".
    QString item() const;
};

// Every application with a code below 490, display names resolved.
QList<ApplicationItem> allApplications(const QList<ApplicationRecord>& records, const Translation& tr);
// The choosable ones: codes 451 to 455, each code cut to its last 5 characters.
QList<ApplicationItem> choosableApplications(const QList<ApplicationRecord>& records, const Translation& tr);
// Display name of an application code in a list ("" when absent), first match.
QString applicationName(const QList<ApplicationItem>& list, int code);

// Request 5: one application (code and name), or nothing when the request failed.
std::optional<ApplicationRecord> readApplication(AppContext& ctx, int code);
// Request 1: the application's name, UnknownApplicationName when the server gives none (or fails).
QString readApplicationName(AppContext& ctx, int code);
