#pragma once

#include "core/translation.h"
#include "support/qt_print.h"

// The French captions the dialog tests look for.
inline Translation dialogLabels() {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nHorairePlage=Plage\r\nJ7=Dimanche\r\n"
                             "Apropos=Éditeur de l'accueil vocal\r\n"));
    return t;
}
