#include "startup/server_info.h"

#include "core/app_context.h"
#include "core/profile_file.h"
#include "platform/codepage.h"

#include <QFileInfo>
#include <QStringList>

namespace {

bool infoFileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

// The leading number of a text the way the server's tools read it: blanks skipped, an optional sign,
// then digits up to the first other character ("900." -> 900, "abc" -> 0).
double leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return negative ? -value : value;
}

// Entries "1", "2", ... of a list section, up to the first empty or missing one, decoded from UTF-8.
QStringList listEntries(const ProfileFile& info, const QString& section) {
    QStringList entries;
    for (int n = 1;; ++n) {
        const QString raw = info.value(section, QString::number(n), QString());
        if (raw.isEmpty()) break;
        entries.append(utf8ToText(raw));
    }
    return entries;
}

Announcement parseAnnouncement(const QString& line) {
    Announcement a;
    const QStringList f = line.split(QLatin1Char(';'));
    if (f.size() < 6) return a;
    a.number = f.at(0).trimmed().toInt();
    // The name may itself hold ";": everything between the number and the four flags.
    a.name = f.mid(1, f.size() - 5).join(QLatin1Char(';'));
    for (int i = 0; i < 4; ++i)
        a.flags[i] = f.at(f.size() - 4 + i).trimmed().toShort();
    return a;
}

Station parseStation(const QString& line, bool withVoiceBox) {
    Station s;
    const QStringList f = line.split(QLatin1Char(';'));
    const qsizetype minimum = withVoiceBox ? 4 : 3;
    if (f.size() < minimum) return s;
    const qsizetype extra = f.size() - minimum; // fields taken by ";" inside the name
    s.number = f.at(0);
    s.name = f.mid(1, extra + 1).join(QLatin1Char(';'));
    s.kind = f.at(2 + extra).trimmed().toShort();
    if (withVoiceBox) s.voiceBox = f.at(3 + extra);
    return s;
}

} // namespace

bool readServerInfo(AppContext& ctx) {
    if (infoFileExists(ctx.fileLecture)) {
        const ProfileFile info = ProfileFile::load(ctx.fileLecture);
        const QString general = QStringLiteral("General");
        bool ok = false;
        const int trees = info.value(general, QStringLiteral("Nb_arbre")).trimmed().toInt(&ok);
        // A count that is not a number leaves every tree active.
        ctx.Nb_arbre = ok ? trees : 5;
        ctx.VERSION_generel = info.value(general, QStringLiteral("version"));
        ctx.numStandard = info.value(general, QStringLiteral("Standard"));
        return true;
    }
    if (ctx.modeLocal) {
        ctx.Nb_arbre = 5;
        ctx.VERSION_generel = QStringLiteral("Version locale");
        return true;
    }
    return false;
}

void deriveGenerationFlags(AppContext& ctx) {
    const QString& v = ctx.VERSION_generel;
    if (ctx.modeLocal) {
        ctx.VERSION_500 = true;
        ctx.VERSION_900 = false;
        return;
    }
    if (v.isEmpty()) {
        ctx.VERSION_500 = ctx.VERSION_900 = false;
        return;
    }
    const QChar first = v.at(0);
    if (first == QLatin1Char('1')) {
        // 1000 and later.
        ctx.VERSION_500 = ctx.VERSION_900 = true;
        return;
    }
    const bool digit = first >= QLatin1Char('0') && first <= QLatin1Char('9');
    ctx.VERSION_500 = !digit || first.unicode() - '0' >= 5;
    const qsizetype dot = v.indexOf(QLatin1Char('.'));
    ctx.VERSION_900 = dot >= 0 && leadingNumber(v.first(dot + 1)) > 820;
}

int loadAnnouncements(AppContext& ctx, const ProfileFile& info) {
    ctx.Announcements.clear();
    for (const QString& line : listEntries(info, QStringLiteral("Annonces")))
        ctx.Announcements.append(parseAnnouncement(line));
    return ctx.NbAnnonces();
}

int loadStations(AppContext& ctx, const ProfileFile& info) {
    ctx.Stations.clear();
    for (const QString& line : listEntries(info, QStringLiteral("Postes")))
        ctx.Stations.append(parseStation(line, ctx.VERSION_500));
    return ctx.NbPostes();
}

int loadAnnouncements(AppContext& ctx) {
    return loadAnnouncements(ctx, ProfileFile::load(ctx.fileLecture));
}

int loadStations(AppContext& ctx) {
    return loadStations(ctx, ProfileFile::load(ctx.fileLecture));
}

bool loadServerInformation(AppContext& ctx, const QString& path, const QString& forceVersion) {
    ctx.fileLecture = path;
    ctx.modeLocal = false;
    if (!readServerInfo(ctx)) return false;
    if (!forceVersion.isEmpty()) ctx.VERSION_generel = forceVersion;
    deriveGenerationFlags(ctx);
    const ProfileFile info = ProfileFile::load(path);
    loadAnnouncements(ctx, info);
    loadStations(ctx, info);
    return true;
}

bool loadServerLists(AppContext& ctx, const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) return false;
    const ProfileFile info = ProfileFile::load(path);
    loadAnnouncements(ctx, info);
    loadStations(ctx, info);
    return true;
}

QString digitsOnly(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits.append(c);
    }
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

QString utf8ToText(const QString& raw) {
    return QString::fromUtf8(platform::encodeAnsi(raw));
}
