#include "core/profile_file.h"

#include "platform/codepage.h"

#include <QFile>

namespace profile_rules {

QString processedValue(QStringView raw) {
    return processedView(raw).toString();
}

QStringView processedView(QStringView raw) {
    // The value is a C string: it ends at its first NUL.
    qsizetype nul = 0;
    while (nul < raw.size() && raw[nul] != QChar(0))
        ++nul;
    return processedBeforeNul(raw.first(nul));
}

} // namespace profile_rules

using namespace profile_rules;

ProfileFile ProfileFile::load(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    ProfileFile profile = parse(platform::decodeAnsi(file.readAll()));
    profile.m_exists = true;
    return profile;
}

ProfileFile ProfileFile::parse(const QString& text) {
    ProfileFile profile;
    profile.m_exists = true;
    Keys* current = nullptr;
    const QStringView all(text);
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype eol = all.indexOf(QLatin1Char('\n'), pos);
        if (eol < 0) eol = all.size();
        const QStringView line = trimmed(all.sliced(pos, eol - pos));
        pos = eol + 1;
        if (line.isEmpty() || line.front() == QLatin1Char(';')) continue;
        if (line.front() == QLatin1Char('[')) {
            qsizetype close = line.indexOf(QLatin1Char(']'));
            const QStringView name = trimmed(line.sliced(1, (close < 0 ? line.size() : close) - 1));
            const QString upper = name.toString().toUpper();
            // A repeated section is invisible: lookups stop at the first one.
            if (profile.m_sections.contains(upper)) {
                current = nullptr;
            } else {
                current = &profile.m_sections[upper];
            }
            continue;
        }
        if (!current) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = trimmed(line.first(eq)).toString().toUpper();
        if (key.isEmpty() || current->contains(key)) continue;
        current->insert(key, processedValue(line.sliced(eq + 1)));
    }
    return profile;
}

QString ProfileFile::value(const QString& section, const QString& key, const QString& defaultValue) const {
    const auto s = m_sections.constFind(section.trimmed().toUpper());
    if (s == m_sections.cend()) return defaultValue;
    const auto k = s->constFind(key.trimmed().toUpper());
    if (k == s->cend()) return defaultValue;
    return *k;
}

bool ProfileFile::hasKey(const QString& section, const QString& key) const {
    const auto s = m_sections.constFind(section.trimmed().toUpper());
    return s != m_sections.cend() && s->contains(key.trimmed().toUpper());
}

bool ProfileFile::hasSection(const QString& section) const {
    return m_sections.contains(section.trimmed().toUpper());
}

QString readProfileString(const QString& section, const QString& key, const QString& path,
                          const QString& defaultValue) {
    return ProfileFile::load(path).value(section, key, defaultValue);
}
