#include "startup/qt_catalog.h"

#include "core/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Primary language of a Windows locale identifier (its low ten bits).
struct PrimaryLanguage {
    int id;
    QLocale::Language language;
};

constexpr PrimaryLanguage kLanguages[] = {
    {0x01, QLocale::Arabic},          {0x02, QLocale::Bulgarian}, {0x03, QLocale::Catalan},
    {0x04, QLocale::Chinese},         {0x05, QLocale::Czech},     {0x06, QLocale::Danish},
    {0x07, QLocale::German},          {0x08, QLocale::Greek},     {0x09, QLocale::English},
    {0x0A, QLocale::Spanish},         {0x0B, QLocale::Finnish},   {0x0C, QLocale::French},
    {0x0D, QLocale::Hebrew},          {0x0E, QLocale::Hungarian}, {0x10, QLocale::Italian},
    {0x11, QLocale::Japanese},        {0x12, QLocale::Korean},    {0x13, QLocale::Dutch},
    {0x14, QLocale::NorwegianBokmal}, {0x15, QLocale::Polish},    {0x16, QLocale::Portuguese},
    {0x18, QLocale::Romanian},        {0x19, QLocale::Russian},   {0x1A, QLocale::Croatian},
    {0x1B, QLocale::Slovak},          {0x1D, QLocale::Swedish},   {0x1F, QLocale::Turkish},
    {0x22, QLocale::Ukrainian},       {0x24, QLocale::Slovenian},
};

} // namespace

QLocale::Language languageOfTranslation(const Translation& translation) {
    bool ok = false;
    const int lcid = translation.readTranslation(QStringLiteral("LANGID"), QStringLiteral("1"), QString())
                         .trimmed()
                         .toInt(&ok);
    if (ok)
        for (const PrimaryLanguage& p : kLanguages)
            if (p.id == (lcid & 0x3FF)) return p.language;
    return QLocale::French;
}

bool installQtCatalog(QCoreApplication& app, const Translation& translation) {
    const QLocale locale(languageOfTranslation(translation));
    auto* catalog = new QTranslator(&app);
    if (!catalog->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalog;
        return false;
    }
    return QCoreApplication::installTranslator(catalog);
}
