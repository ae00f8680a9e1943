#pragma once

#include "core/translation.h"
#include "support/qt_print.h"

// A small French translation with the captions the dialogs use.
inline Translation dialogLabels() {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\n"
                             "BoutonOK=Valider\r\nBoutonEchap=Annuler\r\n"
                             "HorairePlage=Plage\r\nHoraireLoad=Importer...\r\n"
                             "Debut=Début\r\nFin=Fin\r\nHeure=Heure\r\nMinute=Minute\r\n"
                             "J1=Lundi\r\nJ2=Mardi\r\nJ3=Mercredi\r\nJ4=Jeudi\r\nJ5=Vendredi\r\n"
                             "J6=Samedi\r\nJ7=Dimanche\r\n"
                             "G1=Touche retour\r\nG2=Touche numérotation\r\nG3=Temps inter-chiffre\r\n"
                             "Apropos=Éditeur de l'accueil vocal\r\nCopyright=(c) Exemple SA\r\n"
                             "HistoHoraires=Horaires\r\nHistoParam=Paramètres\r\n"));
    return t;
}

// Counts what a dialog reports back to the main window.
struct HookRecorder {
    int modifiedCalls = 0;
    QStringList steps;
};
