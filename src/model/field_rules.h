#pragma once

#include "model/section_store.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

struct Announcement;
struct Station;

// The rules a field's text is checked by, and where the last verification left each field.

// A number field as the server's tools convert it: blanks around, an optional sign, digits; nothing
// beyond the 32-bit range.
std::optional<qint64> toWholeNumber(QStringView text);

// The number test of every "malformed" check. A value made only of the allowed characters (compared
// without regard to case) passes; otherwise what is left once they are removed must be a non-negative
// 32-bit integer without ",", "." or "&". An empty value fails.
bool isNumberField(const QString& value, const QString& allowedCharacters);
// The two kinds of number the verification reads: plain (announcements, counts) and dialled (transfer
// destinations and voice boxes, which also allow "ABCD*#+").
bool isPlainNumber(QStringView value);
bool isDialledNumber(QStringView value);

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
