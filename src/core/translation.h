#pragma once

#include <QHash>
#include <QString>

#include <utility>

// The translation table: one text file "qavo_lgNN.txt" read once, its sections found once, and searched
// as plain text at every lookup, with the lookup rules the server's own translation files are written for.
class Translation {
public:
    Translation() = default;

    // Takes the whole file text (already decoded with the system ANSI code page).
    void setText(const QString& text);
    // Reads a file; false when it cannot be read.
    bool loadFile(const QString& path);

    const QString& text() const { return m_text; }
    const QString& fileName() const { return m_file; }
    bool isEmpty() const { return m_text.isEmpty(); }
    // True when the text is a translation file: it names its language ("1=" under [LANGID]), without
    // which every lookup answers its default.
    bool isTranslationFile() const;

    // Raw lookup: the value of key in section, or the default.
    QString readTranslation(const QString& section, const QString& key, const QString& defaultValue) const;
    // Caption of a key: "*" when missing, "$CRLF$" turned into line breaks, double quotes removed.
    QString getLabel(const QString& section, const QString& key) const;
    // Shortcut for section "LABELS".
    QString getLabel(const QString& key) const { return getLabel(QStringLiteral("LABELS"), key); }

    // True when the system default locale is a Chinese one (values are then used unconverted).
    // Tests may force it.
    void setChineseSystem(bool chinese) { m_chinese = chinese; }
    bool isChineseSystem() const { return m_chinese; }

private:
    void findSections();

    QString m_text;
    QString m_upper;
    // Upper-cased name -> where its lines start and where the section ends, of the first header by that name.
    QHash<QString, std::pair<qsizetype, qsizetype>> m_sections;
    QString m_file;
    bool m_chinese = false;
};

// True for the Chinese system locales 1028, 2052, 3076, 4100, 5124 and 31748.
bool isChineseLocale(int localeId);

// Path of the translation file for a language value: folder + "qavo_lg" + value formatted "00" + ".txt".
// A number is rounded to the nearest whole number (halves away from zero) and written with at least two
// digits, a negative sign kept ("-1" -> "-01", "3.7" -> "04"); any other text is used as it is.
QString translationFileFor(const QString& folder, const QString& lang);
