#include "core/translation.h"
#include "startup/qt_catalog.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

Translation withLangId(const char* id) {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=%1\r\n[LABELS]\r\nTitre=x\r\n").arg(QLatin1String(id)));
    return t;
}

TEST(QtCatalog, LanguageComesFromTheLocaleIdentifierOfTheTranslationFile) {
    const struct {
        const char* id;
        QLocale::Language language;
    } cases[] = {
        {"1033", QLocale::English}, {"2057", QLocale::English}, {"3082", QLocale::Spanish},
        {"1031", QLocale::German},  {"abc", QLocale::French},   {"9999", QLocale::French},
    };
    for (const auto& c : cases)
        EXPECT_EQ(languageOfTranslation(withLangId(c.id)), c.language) << c.id;
}

TEST(QtCatalog, FrenchTranslationGivesQtsOwnButtonsInFrench) {
    ASSERT_TRUE(installQtCatalog(*QCoreApplication::instance(), withLangId("1036")))
        << "Qt's translations are installed with the build's packages";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Oui");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), "&Non");
    for (QTranslator* catalog : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(catalog);
        delete catalog;
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

} // namespace
