#pragma once

#include <QLocale>

class QCoreApplication;
class Translation;

// The language of a translation file: its [LANGID] entry is a Windows locale identifier (1036 French,
// 1033 English...). French when the file names none or one this table does not know.
QLocale::Language languageOfTranslation(const Translation& translation);

// Loads Qt's own catalog (standard buttons, file dialogs) for that language into the application, so
// that a French question has Oui/Non buttons. False when Qt has no catalog for it (English needs none).
bool installQtCatalog(QCoreApplication& app, const Translation& translation);
