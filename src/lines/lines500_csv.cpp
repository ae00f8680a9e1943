#include "lines/lines500_csv.h"

#include "lines/application_table.h"
#include "lines/line_text.h"
#include "platform/codepage.h"

#include <utility>
#include <vector>

namespace {

struct LigneCsv {
    int numero; // in the file, 1-based
    QStringList champs;
};

// The data lines of 3 fields; the others are counted as skipped. Refused when none has 3 fields, unless
// the file is a header alone (the export of an empty table).
std::vector<LigneCsv> lignesCsv(const QByteArray& contenu, CsvReport& rapport) {
    std::vector<LigneCsv> lignes;
    const QList<QByteArrayView> brutes = line_text::splitLines(contenu);
    int entete = 0, champsEntete = 0;
    bool premiere = true;
    for (qsizetype n = 0; n < brutes.size(); ++n) {
        const int numero = int(n + 1);
        const QString ligne = platform::decodeAnsi(brutes[n].toByteArray()).trimmed();
        if (ligne.isEmpty() || ligne.startsWith(QLatin1Char('/'))) continue;
        QStringList champs = ligne.split(QLatin1Char(';'));
        for (QString& c : champs)
            c = c.trimmed();
        if (std::exchange(premiere, false) && !champs.first().isEmpty() &&
            !champs.first().front().isDigit()) {
            entete = numero;
            champsEntete = int(champs.size());
            continue;
        }
        if (champs.size() == kCsvChamps500) {
            lignes.push_back({numero, champs});
            continue;
        }
        if (rapport.badLine == 0) {
            rapport.badLine = numero;
            rapport.badFields = int(champs.size());
        }
        rapport.skip(numero);
    }
    if (lignes.empty() && (rapport.badLine != 0 || champsEntete != kCsvChamps500)) {
        rapport.refused = true;
        if (rapport.badLine == 0) {
            rapport.badLine = qMax(entete, 1);
            rapport.badFields = champsEntete;
        }
    }
    return lignes;
}

QString nomVoie(const VoieT2cs& v) {
    QStringList numeros;
    for (const QString& n : {v.premierTexte(), v.dernierTexte(), code3(v.application)})
        if (!n.isEmpty()) numeros << n;
    return numeros.isEmpty() ? QStringLiteral("-") : numeros.join(QLatin1String(" / "));
}

LineChanges comparer(const QList<VoieT2cs>& avant, const QList<VoieT2cs>& apres,
                     const QList<bool>& protegees) {
    LineChanges c;
    for (qsizetype k = 0; k < avant.size() && k < apres.size(); ++k) {
        if (protegees.value(k)) {
            ++c.otherApplications;
            continue;
        }
        const bool etait = avant[k].estUtilisee(), est = apres[k].estUtilisee();
        if (est && !etait)
            c.added << nomVoie(apres[k]);
        else if (etait && !est)
            c.removed << nomVoie(avant[k]);
        else if (est && avant[k] != apres[k])
            c.changed << nomVoie(apres[k]);
    }
    return c;
}

} // namespace

QString code3(quint16 application) {
    return application == VoieT2cs::Aucun ? QString()
                                          : QStringLiteral("%1").arg(application, 3, 10, QLatin1Char('0'));
}

quint16 versCode(const QString& code) {
    if (code.isEmpty()) return VoieT2cs::Aucun;
    const int n = valeurCode(code);
    return n >= VoieT2cs::Aucun ? VoieT2cs::Aucun : quint16(n);
}

ImportVoies500 lireCsvVoies500(const QByteArray& contenu, const QList<VoieT2cs>& avant,
                               const QList<bool>& protegees) {
    ImportVoies500 import;
    const std::vector<LigneCsv> lignes = lignesCsv(contenu, import.rapport);
    if (import.rapport.refused) return import;
    QList<VoieT2cs> voies = avant;
    qsizetype k = 0;
    for (const LigneCsv& l : lignes) {
        // The file's copy of a protected record is skipped with it.
        bool copie = false;
        while (k < voies.size() && protegees.value(k) && !copie) {
            const VoieT2cs& p = voies[k++];
            copie = p.premierTexte() == l.champs[0] && p.dernierTexte() == l.champs[1] &&
                    code3(p.application) == l.champs[2];
        }
        if (copie) continue;
        if (k >= voies.size()) {
            import.rapport.skip(l.numero); // the server has no record left for it
            continue;
        }
        VoieT2cs& v = voies[k++];
        v.setPremier(l.champs[0]);
        v.setDernier(l.champs[1]);
        v.application = versCode(l.champs[2]);
        v.code2 = VoieT2cs::Aucun;
    }
    // Records past the file's last line are freed, so the file is the whole table.
    for (; k < voies.size(); ++k) {
        if (protegees.value(k)) continue;
        const std::array<char, 4> reste = voies[k].reste;
        voies[k] = VoieT2cs();
        voies[k].reste = reste;
    }
    import.changements = comparer(avant, voies, protegees);
    import.voies = std::move(voies);
    return import;
}
