#include "lines/application_table.h"

#include "core/translation.h"

namespace {

ApplicationListe versListe(const EnregApplication& e, const QString& code, const Translation& tr) {
    return {code, nomAffiche(tr, e.nom), e.code2, e.champ4};
}

} // namespace

int valeurCode(const QString& code) {
    qsizetype i = 0;
    while (i < code.size() && code.at(i) == QLatin1Char(' '))
        ++i;
    qint64 n = 0;
    for (; i < code.size() && code.at(i) >= QLatin1Char('0') && code.at(i) <= QLatin1Char('9'); ++i)
        n = qMin<qint64>(n * 10 + (code.at(i).unicode() - '0'), 1'000'000'000);
    return int(n);
}

bool estAppliSVI(int code) {
    return code >= PremiereAppliSVI && code <= DerniereAppliSVI;
}

QString nomAffiche(const Translation& tr, const QString& nom) {
    if (nom.startsWith(QLatin1Char('$'))) return tr.getLabel(QStringLiteral("VOIES"), nom.mid(1).trimmed());
    return nom.trimmed();
}

QString ApplicationListe::item() const {
    return code + QLatin1Char('|') + nom + QLatin1Char('|') + code2 + QLatin1Char('|') + champ4;
}

QList<ApplicationListe> applicationsToutes(const QList<EnregApplication>& entrees, const Translation& tr) {
    QList<ApplicationListe> liste;
    for (const EnregApplication& e : entrees)
        if (valeurCode(e.code) < CodeApplicationMax) liste.append(versListe(e, e.code, tr));
    return liste;
}

QList<ApplicationListe> applicationsChoisissables(const QList<EnregApplication>& entrees,
                                                  const Translation& tr) {
    QList<ApplicationListe> liste;
    for (const EnregApplication& e : entrees)
        if (estAppliSVI(valeurCode(e.code))) liste.append(versListe(e, e.code.right(5), tr));
    return liste;
}

QString applicationName(const QList<ApplicationListe>& liste, int code) {
    for (const ApplicationListe& a : liste)
        if (valeurCode(a.code) == code) return a.nom;
    return {};
}
