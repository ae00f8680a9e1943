#include "sim_lines.h"

#include "platform/atomic_file.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace sim {

namespace {

QByteArray lireFichier(const QString& root, const QString& nom, bool* ok = nullptr) {
    QFile f(QDir(root).filePath(nom));
    const bool ouvert = f.open(QIODevice::ReadOnly);
    if (ok) *ok = ouvert;
    return ouvert ? f.readAll() : QByteArray();
}

bool stocker(const QString& root, const QString& nom, const QByteArray& octets) {
    return platform::writeFileAtomically(QDir(root).filePath(nom), octets).isEmpty();
}

// The lines of a text file ending with CR LF, CR or LF; a CR LF gives an empty line, which every reader
// skips.
QList<QByteArrayView> lignesTexte(QByteArrayView octets) {
    QList<QByteArrayView> lignes;
    qsizetype debut = 0;
    for (qsizetype i = 0; i < octets.size(); ++i) {
        if (octets[i] != '\r' && octets[i] != '\n') continue;
        lignes.append(octets.sliced(debut, i - debut));
        debut = i + 1;
    }
    if (debut < octets.size()) lignes.append(octets.sliced(debut));
    return lignes;
}

// "applications.txt": code;name;second code;fourth field, one application a line, "/" lines comments.
QList<EnregApplication> lireApplications(const QByteArray& octets) {
    QList<EnregApplication> apps;
    for (const QByteArrayView ligne : lignesTexte(octets)) {
        const QString texte = platform::decodeAnsi(ligne.toByteArray()).trimmed();
        if (texte.isEmpty() || texte.startsWith(QLatin1Char('/'))) continue;
        const QStringList champs = texte.split(QLatin1Char(';'));
        apps.append({champs.value(0).trimmed(), champs.value(1), champs.value(2).trimmed(),
                     champs.value(3).trimmed()});
    }
    return apps;
}

int codeNumerique(const QString& code) {
    bool ok = false;
    const int n = code.trimmed().toInt(&ok);
    return ok ? n : -1;
}

// A request block that carries records is read by the codec as a reply: the page indexes it expects
// are set from the request's own fields.
QByteArray commeReponse(QByteArrayView requete, int premier, int dernier) {
    QByteArray bloc = requete.toByteArray();
    ecrireEnteteReponse(bloc, kStatutOk, premier, dernier);
    return bloc;
}

quint32 tableApplications(const QString& root, QByteArrayView requete, QByteArray& reponse, QString& note) {
    bool lu = false;
    const QList<EnregApplication> apps = lireApplications(lireFichier(root, kFichierApplications, &lu));
    if (!lu) return kStatutSansDonnees;
    const auto premier = qint64(lireU32(requete, Bloc::Premier));
    const qint64 voulu = std::min<qint64>(lireU32(requete, Bloc::Nombre), MaxApplicationsParPage);
    const qint64 nombre = std::clamp<qint64>(apps.size() - premier, 0, voulu);
    for (int k = 0; k < nombre; ++k)
        Wr_Application(reponse, k, apps[premier + k]);
    ecrireEnteteReponse(reponse, kStatutOk, int(premier), int(premier + nombre));
    note = QStringLiteral(" first=%1 count=%2").arg(premier).arg(nombre);
    return kStatutOk;
}

// Requests 1 and 5. An unknown code answers status 0 and an empty record: the editor then shows the
// code without a name (5) or its "unknown" name (1), and a line read is not stopped by it.
quint32 uneApplication(const QString& root, quint32 code, QByteArrayView requete, QByteArray& reponse,
                       QString& note) {
    bool lu = false;
    const QList<EnregApplication> apps = lireApplications(lireFichier(root, kFichierApplications, &lu));
    if (!lu) return kStatutSansDonnees;
    const int voulu = int(lireU32(requete, Bloc::Param16));
    const auto it = std::find_if(apps.begin(), apps.end(), [voulu](const EnregApplication& a) {
        return codeNumerique(a.code) == voulu;
    });
    const EnregApplication app = it == apps.end() ? EnregApplication{} : *it;
    if (code == CodeRequete::NomApplication)
        ecrireNomApplication(reponse, app.nom);
    else
        Wr_Application(reponse, 0, app);
    ecrireEnteteReponse(reponse, kStatutOk, 0, 1);
    note =
        QStringLiteral(" app=%1%2").arg(voulu).arg(it == apps.end() ? QStringLiteral(" unknown") : QString());
    return kStatutOk;
}

quint32 voies500(const QString& root, quint32 code, QByteArrayView requete, QByteArray& reponse,
                 QString& note) {
    ParVoieT2c general;
    QList<VoieT2cs> voies;
    if (!lireVoies500(lireFichier(root, kFichierVoies500), general, voies)) return kStatutSansDonnees;
    const auto premier = qint64(lireU32(requete, Bloc::Premier));
    const auto nombre = qint64(lireU32(requete, Bloc::Nombre));
    const bool pageValide = nombre >= 0 && nombre <= MaxVoiesParPage && premier + nombre <= voies.size();

    switch (code) {
    case CodeRequete::LectureGeneral:
        Wr_Par_voie_T2c(reponse, general);
        ecrireEnteteReponse(reponse, kStatutOk, 0, 1);
        note = QStringLiteral(" lines=%1").arg(general.nombreVoies());
        return kStatutOk;
    case CodeRequete::LectureVoies:
        if (!pageValide) return kStatutParametres;
        Wr_Par_voie_T2cs(reponse, voies, int(premier), int(nombre));
        ecrireEnteteReponse(reponse, kStatutOk, int(premier), int(premier + nombre));
        break;
    case CodeRequete::EcritureVoies: {
        PageReponse page;
        if (!pageValide || Rd_Par_voie_T2cs(commeReponse(requete, int(premier), int(premier + nombre)), voies,
                                            page) != ErreurReponse::Aucune)
            return kStatutParametres;
        if (!stocker(root, kFichierVoies500, ecrireVoies500(general, voies))) return kStatutEcriture;
        ecrireEnteteReponse(reponse, kStatutOk, int(premier), int(premier + nombre));
        break;
    }
    case CodeRequete::EcritureGeneral:
        if (Rd_Par_voie_T2c(commeReponse(requete, 0, 1), general) != ErreurReponse::Aucune)
            return kStatutParametres;
        // A new number of lines adds free records or drops the last ones.
        voies.resize(general.nombreVoies());
        if (!stocker(root, kFichierVoies500, ecrireVoies500(general, voies))) return kStatutEcriture;
        ecrireEnteteReponse(reponse, kStatutOk, 0, 1);
        note = QStringLiteral(" lines=%1").arg(general.nombreVoies());
        return kStatutOk;
    }
    note = QStringLiteral(" first=%1 count=%2").arg(premier).arg(nombre);
    return kStatutOk;
}

} // namespace

quint32 repondreIhm(const QString& root, QByteArrayView requete, QByteArray& reponse, QString& note) {
    const quint32 code = lireU32(requete, Bloc::Code);
    const bool tableApps = lireU32(requete, Bloc::Param12) == 2;
    switch (code) {
    case CodeRequete::TableApplications:
        return tableApps ? tableApplications(root, requete, reponse, note) : kStatutParametres;
    case CodeRequete::NomApplication:
    case CodeRequete::Application:
        return tableApps ? uneApplication(root, code, requete, reponse, note) : kStatutParametres;
    case CodeRequete::EcritureGeneral:
    case CodeRequete::LectureGeneral:
    case CodeRequete::EcritureVoies:
    case CodeRequete::LectureVoies:
        return voies500(root, code, requete, reponse, note);
    case CodeRequete::RechargeLignes: {
        bool lu = false;
        const QByteArray lignes = lireFichier(root, kFichierLignes900, &lu);
        if (!lu) return kStatutSansDonnees;
        note = QStringLiteral(" lines=%1").arg(compterLignes900(lignes));
        return kStatutOk;
    }
    default:
        return kStatutRequeteInconnue;
    }
}

bool lireVoies500(QByteArrayView fichier, ParVoieT2c& general, QList<VoieT2cs>& voies) {
    if (fichier.size() < ParVoieT2c::Taille) return false;
    // The file is unpacked page by page as the codec unpacks replies.
    QByteArray bloc;
    Clear_Bloc_Entete(bloc);
    ecrireEnteteReponse(bloc, kStatutOk, 0, 1);
    std::copy_n(fichier.data(), ParVoieT2c::Taille, bloc.data() + Bloc::DebutData);
    if (Rd_Par_voie_T2c(bloc, general) != ErreurReponse::Aucune) return false;

    voies = QList<VoieT2cs>(general.nombreVoies());
    const qsizetype dansFichier = (fichier.size() - ParVoieT2c::Taille) / VoieT2cs::Taille;
    const int total = int(std::min<qsizetype>(voies.size(), dansFichier));
    for (int premier = 0; premier < total; premier += MaxVoiesParPage) {
        const int nombre = std::min(MaxVoiesParPage, total - premier);
        Clear_Bloc_Data(bloc);
        ecrireEnteteReponse(bloc, kStatutOk, premier, premier + nombre);
        std::copy_n(fichier.data() + ParVoieT2c::Taille + qsizetype(premier) * VoieT2cs::Taille,
                    qsizetype(nombre) * VoieT2cs::Taille, bloc.data() + Bloc::DebutData);
        PageReponse page;
        if (Rd_Par_voie_T2cs(bloc, voies, page) != ErreurReponse::Aucune) return false;
    }
    return true;
}

QByteArray ecrireVoies500(const ParVoieT2c& general, const QList<VoieT2cs>& voies) {
    QByteArray fichier(general.octets.data(), ParVoieT2c::Taille);
    QByteArray bloc;
    Clear_Bloc_Entete(bloc);
    const int total = int(voies.size());
    for (int premier = 0; premier < total; premier += MaxVoiesParPage) {
        const int nombre = std::min(MaxVoiesParPage, total - premier);
        Wr_Par_voie_T2cs(bloc, voies, premier, nombre);
        fichier.append(bloc.constData() + Bloc::DebutData, qsizetype(nombre) * VoieT2cs::Taille);
    }
    return fichier;
}

QByteArray exempleVoies500(int nombre) {
    ParVoieT2c general;
    general.setNombreVoies(nombre);
    QList<VoieT2cs> voies(nombre);
    for (int k = 0; k < nombre; ++k) {
        if (k % 10 == 9) continue;
        VoieT2cs& v = voies[k];
        const QString debut = QStringLiteral("0140%1").arg(k * 10, 6, 10, QLatin1Char('0'));
        v.setPremier(debut);
        // Every third line is a range of ten numbers.
        v.setDernier(k % 3 == 0 ? QStringLiteral("0140%1").arg(k * 10 + 9, 6, 10, QLatin1Char('0')) : debut);
        v.application = k % 10 == 7 ? 300 : (k % 2 == 0 ? 451 : 452);
    }
    return ecrireVoies500(general, voies);
}

int compterLignes900(QByteArrayView fichier) {
    int n = 0;
    for (QByteArrayView ligne : lignesTexte(fichier)) {
        ligne = ligne.trimmed();
        if (ligne.isEmpty() || ligne.startsWith('/') || ligne.startsWith('[')) continue;
        if (ligne.count(';') >= 10) ++n;
    }
    return n;
}

} // namespace sim
