#include "lines/lines500.h"

#include "core/app_context.h"
#include "lines/ihm_exchange.h"
#include "lines/lines500_csv.h"
#include "model/verification.h"
#include "platform/codepage.h"
#include "server/server_transfers.h"

#include <QStringList>

namespace {

const QString kSectionVoies = QStringLiteral("VOIES");

} // namespace

QString LigneVoie500::texteApplication() const {
    return code.isEmpty() ? QString() : code + QStringLiteral("   ") + nom;
}

Voies500::Voies500(AppContext& ctx) : ctx_(ctx) {}

bool Voies500::lire(const Progression& progression) {
    lu_ = false;
    lignes_.clear();
    voies_.clear();

    QByteArray bloc;
    requeteLectureGeneral(bloc);
    std::optional<QByteArrayView> reponse = envoyerRequeteIhm(ctx_, bloc);
    if (!reponse || Rd_Par_voie_T2c(*reponse, t2c_) != ErreurReponse::Aucune) return false;
    const int total = t2c_.nombreVoies();
    voies_ = QList<VoieT2cs>(total); // every record free until read

    for (int premier = 0; premier < total; premier += MaxVoiesParPage) {
        const int nombre = qMin(MaxVoiesParPage, total - premier);
        requeteLectureVoies(bloc, premier, nombre);
        reponse = envoyerRequeteIhm(ctx_, bloc);
        PageReponse page;
        if (!reponse || Rd_Par_voie_T2cs(*reponse, voies_, page) != ErreurReponse::Aucune) return false;
        if (progression) progression(premier + nombre, total);
    }
    if (!construireLignes(false)) return false;
    serveur_ = voies_;
    lu_ = true;
    return true;
}

bool Voies500::chargerApplications() {
    const ChargementApplications table = loadApplications(ctx_);
    choix_.clear();
    for (const EnregApplication& e : table.entrees) {
        if (!estAppliSVI(valeurCode(e.code))) continue;
        // Here the name is always a key of section "VOIES", whatever its first character.
        choix_.append({e.code.right(5), ctx_.translation.getLabel(kSectionVoies, e.nom.mid(1).trimmed()),
                       e.code2, e.champ4});
    }
    return table.ok;
}

QString Voies500::itemChoix(const ApplicationListe& app) {
    return app.code + QStringLiteral("   ") + app.nom;
}

std::optional<QString> Voies500::nomApplication(int code, bool parNomSeul) {
    auto it = lstDATAServeur_.constFind(code);
    if (it == lstDATAServeur_.constEnd()) {
        QString nom;
        if (parNomSeul) {
            nom = lireNomApplication(ctx_, code);
        } else {
            const std::optional<EnregApplication> app = lireApplication(ctx_, code);
            if (!app) return std::nullopt;
            nom = app->nom;
        }
        it = lstDATAServeur_.insert(code, nom);
    }
    return nomAffiche(ctx_.translation, *it);
}

bool Voies500::construireLignes(bool parNomSeul) {
    lignes_.clear();
    lignes_.reserve(voies_.size());
    for (const VoieT2cs& v : voies_) {
        LigneVoie500 l;
        l.premier = v.premierTexte();
        l.dernier = v.dernierTexte();
        l.code = code3(v.application);
        if (v.application != VoieT2cs::Aucun) {
            const std::optional<QString> nom = nomApplication(v.application, parNomSeul);
            if (!nom) return false;
            l.nom = *nom;
            l.grise = !estAppliSVI(v.application);
        }
        lignes_.append(l);
    }
    return true;
}

bool Voies500::modifiable(int ligne) const {
    return ligne >= 0 && ligne < lignes_.size() && !lignes_[ligne].grise;
}

bool Voies500::setNumero(int ligne, int colonne, const QString& texte) {
    if (!modifiable(ligne) || (colonne != 1 && colonne != 2)) return false;
    const QString t = texte.trimmed();
    if (!t.isEmpty() && !isNumberField(t, CaracteresNumeroVoie)) return false;
    (colonne == 1 ? lignes_[ligne].premier : lignes_[ligne].dernier) = t;
    return true;
}

bool Voies500::setApplication(int ligne, const ApplicationListe* app) {
    if (!modifiable(ligne)) return false;
    LigneVoie500& l = lignes_[ligne];
    l.code = app ? QStringLiteral("%1").arg(valeurCode(app->code), 3, 10, QLatin1Char('0')) : QString();
    l.nom = app ? app->nom.trimmed() : QString();
    return true;
}

bool Voies500::effacer(int ligne, int colonne) {
    if (colonne == 3) return setApplication(ligne, nullptr);
    return setNumero(ligne, colonne, QString());
}

QList<VoieT2cs> Voies500::voiesDesLignes() const {
    QList<VoieT2cs> voies = voies_;
    for (qsizetype k = 0; k < voies.size() && k < lignes_.size(); ++k) {
        voies[k].setPremier(lignes_[k].premier.trimmed());
        voies[k].setDernier(lignes_[k].dernier.trimmed());
        voies[k].application = versCode(lignes_[k].code);
    }
    return voies;
}

QString Voies500::refusEcriture(const std::optional<QByteArrayView>& reponse, int ecrites) {
    QString raison;
    if (!reponse)
        raison = server_transfers::lastReason(ctx_);
    else if (reponse->size() < Bloc::TailleEntete)
        raison = ctx_.getLabel(QStringLiteral("RaisonIncomplet"));
    else if (const quint32 statut = lireU32(*reponse, Bloc::Statut); statut != 0)
        raison = ctx_.getLabel(QStringLiteral("RaisonStatutVoies"))
                     .replace(QStringLiteral("$STATUT$"), QString::number(statut));
    else
        return {};
    QString message =
        ctx_.getLabel(QStringLiteral("ErrEcritureVoies")).replace(QStringLiteral("$RAISON$"), raison);
    // Pages already taken, or every page but not the general record: the server holds a mix.
    if (ecrites > 0)
        message +=
            QLatin1Char('\n') + ctx_.getLabel(QStringLiteral("ErrEcritureVoiesPartielle"))
                                    .replace(QStringLiteral("$NOMBRE$"), QString::number(ecrites))
                                    .replace(QStringLiteral("$TOTAL$"), QString::number(voies_.size()));
    return message;
}

QString Voies500::ecrire() {
    if (!lu_)
        return ctx_.getLabel(QStringLiteral("ErrEcritureVoies"))
            .replace(QStringLiteral("$RAISON$"), QString());
    const QList<VoieT2cs> voies = voiesDesLignes();
    QByteArray bloc;
    const int total = int(voies.size());
    for (int premier = 0; premier < total; premier += MaxVoiesParPage) {
        requeteEcritureVoies(bloc, voies, premier, qMin(MaxVoiesParPage, total - premier));
        if (QString refus = refusEcriture(envoyerRequeteIhm(ctx_, bloc), premier); !refus.isEmpty())
            return refus;
    }
    requeteEcritureGeneral(bloc, t2c_);
    if (QString refus = refusEcriture(envoyerRequeteIhm(ctx_, bloc), total); !refus.isEmpty()) return refus;
    voies_ = voies;
    serveur_ = voies;
    return {};
}

bool Voies500::ResetVoies() {
    if (!lire()) return false;
    for (LigneVoie500& l : lignes_) {
        if (!l.code.isEmpty() && !estAppliSVI(valeurCode(l.code))) continue;
        l.code.clear();
        l.nom.clear();
        l.premier.clear();
    }
    return ecrire().isEmpty();
}

QByteArray Voies500::exporterCsv() const {
    const QStringList titres = {ctx_.getLabel(QStringLiteral("VoiesDeb")).trimmed(),
                                ctx_.getLabel(QStringLiteral("VoiesFin")).trimmed(),
                                ctx_.getLabel(QStringLiteral("VoiesApp")).trimmed()};
    QString texte = titres.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    // A line is in use as the grid shows it, edits included.
    const QList<VoieT2cs> voies = voiesDesLignes();
    qsizetype fin = qMin(voies.size(), lignes_.size());
    while (fin > 0 && !voies[fin - 1].estUtilisee())
        --fin;
    for (qsizetype k = 0; k < fin; ++k) {
        const LigneVoie500& l = lignes_[k];
        texte += QStringList{l.premier.trimmed(), l.dernier.trimmed(), l.texteApplication().left(3).trimmed()}
                     .join(QLatin1Char(';')) +
                 QStringLiteral("\r\n");
    }
    return platform::encodeAnsi(texte);
}

ImportVoies500 Voies500::lireCsv(const QByteArray& contenu) const {
    QList<bool> grises;
    for (const LigneVoie500& l : lignes_)
        grises << l.grise;
    return lireCsvVoies500(contenu, voiesDesLignes(), grises);
}

void Voies500::importer(const ImportVoies500& import) {
    if (import.rapport.refused || import.voies.size() != voies_.size()) return;
    voies_ = import.voies;
    construireLignes(true);
}

CsvReport Voies500::importerCsv(const QByteArray& contenu) {
    const ImportVoies500 import = lireCsv(contenu);
    importer(import);
    return import.rapport;
}
