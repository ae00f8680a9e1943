#include "core/translation.h"

#include "platform/codepage.h"

#include <QFile>
#include <cmath>

namespace {

// First occurrence of needle at or after from, before end, whose preceding character is a line feed.
qsizetype findAtLineStart(const QString& hay, const QString& needle, qsizetype from, qsizetype end) {
    qsizetype pos = from;
    while (true) {
        pos = hay.indexOf(needle, pos);
        if (pos < 0 || pos + needle.size() > end) return -1;
        if (pos > 0 && hay.at(pos - 1) == QLatin1Char('\n')) return pos;
        ++pos;
    }
}

qsizetype sectionEnd(const QString& hay, qsizetype from) {
    const qsizetype next = hay.indexOf(QLatin1Char('['), from);
    return next < 0 ? hay.size() : next;
}

bool isBlankOrTab(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

void Translation::setText(const QString& text) {
    m_text = text;
    // One character for one, so that a position in the upper-cased copy is one in the text (the full
    // mapping turns "ß" into "SS"); ASCII without Qt's Unicode tables, which cost more than the rest of
    // a command's start.
    m_upper = text;
    for (QChar& c : m_upper) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - (u'a' - u'A')));
        else if (u >= 0x80)
            c = c.toUpper();
    }
    findSections();
}

// A header is "[NAME]" at the start of a line other than the first; its section runs to the next "[",
// wherever it stands. The first header of a name is the one read.
void Translation::findSections() {
    m_sections.clear();
    for (qsizetype pos = m_upper.indexOf(QLatin1String("\n[")); pos >= 0;
         pos = m_upper.indexOf(QLatin1String("\n["), pos + 1)) {
        const qsizetype close = m_upper.indexOf(QLatin1Char(']'), pos + 2);
        if (close < 0) break;
        const QString name = m_upper.mid(pos + 2, close - pos - 2);
        if (name.contains(QLatin1Char('\n')) || m_sections.contains(name)) continue;
        m_sections.insert(name, {close + 1, sectionEnd(m_upper, close + 1)});
    }
}

bool Translation::loadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    setText(platform::decodeAnsi(file.readAll()));
    m_file = path;
    return true;
}

QString Translation::readTranslation(const QString& section, const QString& key, const QString& def) const {
    const auto langId = m_sections.constFind(QStringLiteral("LANGID"));
    if (langId == m_sections.constEnd()) return def;
    const auto [langBody, langEnd] = *langId;
    const qsizetype idPos = findAtLineStart(m_upper, QStringLiteral("1="), langBody, langEnd);
    if (idPos < 0) return def;
    qsizetype idEnd = m_upper.indexOf(QLatin1Char('\n'), idPos);
    idEnd = (idEnd < 0 || idEnd >= langEnd) ? langEnd : idEnd + 1;
    QString idText = m_text.mid(idPos + 2, idEnd - idPos - 2);
    if (idText.startsWith(QLatin1Char('\t'))) idText.remove(0, 1);
    if (idText.isEmpty()) return def;
    const int localeId = idText.trimmed().toInt();

    const auto found = m_sections.constFind(section.toUpper());
    if (found == m_sections.constEnd()) return def;
    const auto [body, end] = *found;
    const QString entry = key.toUpper() + QLatin1Char('=');
    const qsizetype keyPos = findAtLineStart(m_upper, entry, body, end);
    if (keyPos < 0) return def;
    const qsizetype valueStart = keyPos + entry.size();
    qsizetype valueEnd = m_text.indexOf(QLatin1Char('\n'), valueStart);
    valueEnd = (valueEnd < 0 || valueEnd >= end) ? end : valueEnd + 1;
    QString value = m_text.mid(valueStart, valueEnd - valueStart);
    if (value.endsWith(QLatin1Char('\n'))) value.chop(2);
    qsizetype b = 0;
    while (b < value.size() && isBlankOrTab(value.at(b)))
        ++b;
    qsizetype e = value.size();
    while (e > b && isBlankOrTab(value.at(e - 1)))
        --e;
    value = value.mid(b, e - b);

    if (!m_chinese) {
        // The file was written in the language's own code page: re-read its bytes as ANSI text.
        const int codePage = platform::codePageForLocale(localeId);
        if (codePage != 0) value = platform::decodeAnsi(platform::encodeCodePage(codePage, value));
    }
    if (value == QLatin1String("0-0") || value == QLatin1String("NULL") ||
        value == QLatin1String("9900990099"))
        return QString();
    return value;
}

bool Translation::isTranslationFile() const {
    return !readTranslation(QStringLiteral("LANGID"), QStringLiteral("1"), QString()).isEmpty();
}

QString Translation::getLabel(const QString& section, const QString& key) const {
    QString v = readTranslation(section, key, QStringLiteral("*"));
    v.replace(QLatin1String("$CRLF$"), QLatin1String("\r\n"));
    v.remove(QLatin1Char('"'));
    return v;
}

bool isChineseLocale(int localeId) {
    return localeId == 1028 || localeId == 2052 || localeId == 3076 || localeId == 4100 || localeId == 5124 ||
           localeId == 31748;
}

QString translationFileFor(const QString& folder, const QString& lang) {
    bool ok = false;
    const double n = std::round(lang.toDouble(&ok)); // std::round takes halves away from zero
    QString digits = lang;
    if (ok && std::isfinite(n)) {
        digits = QString::number(std::fabs(n), 'f', 0).rightJustified(2, QLatin1Char('0'));
        if (n < 0) digits.prepend(QLatin1Char('-'));
    }
    QString base = folder;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('/');
    return base + QStringLiteral("qavo_lg") + digits + QStringLiteral(".txt");
}
