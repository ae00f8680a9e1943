#include "lines/record_codec.h"

#include "platform/codepage.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kFF = char(0xFF);

bool dansBornes(qsizetype taille, qsizetype offset, qsizetype longueur) {
    return offset >= 0 && offset <= taille - longueur;
}

void lireChamp(const char* src, std::array<char, VoieT2cs::TailleNumero>& dst) {
    std::memcpy(dst.data(), src, dst.size());
}

// Field [offset, offset + longueur) of a block as server characters; the block is known to hold it.
QString texteChamp(QByteArrayView bytes, qsizetype offset, int longueur) {
    return conv_wexa_string(bytes.sliced(offset, longueur));
}

void ecrireTexte(QByteArray& bloc, qsizetype offset, int longueur, const QString& texte) {
    if (!dansBornes(bloc.size(), offset, longueur)) return;
    conv_string_wexa(texte, bloc.data() + offset, longueur);
}

void entete(QByteArray& bloc, quint32 code) {
    Clear_Bloc_Entete(bloc);
    ecrireU32(bloc, Bloc::Code, code);
}

void packVoie(char* dst, const VoieT2cs& v) {
    std::memcpy(dst, v.premier.data(), VoieT2cs::TailleNumero);
    std::memcpy(dst + 20, v.dernier.data(), VoieT2cs::TailleNumero);
    qToLittleEndian<quint16>(v.application, dst + 40);
    qToLittleEndian<quint16>(v.code2, dst + 42);
    qToLittleEndian<quint16>(v.code3, dst + 44);
    std::memcpy(dst + 46, v.reste.data(), v.reste.size());
}

void unpackVoie(const char* src, VoieT2cs& v) {
    lireChamp(src, v.premier);
    lireChamp(src + 20, v.dernier);
    v.application = qFromLittleEndian<quint16>(src + 40);
    v.code2 = qFromLittleEndian<quint16>(src + 42);
    v.code3 = qFromLittleEndian<quint16>(src + 44);
    std::memcpy(v.reste.data(), src + 46, v.reste.size());
}

// Header checks shared by every reply.
ErreurReponse verifierEntete(QByteArrayView reponse) {
    if (reponse.size() < Bloc::TailleEntete) return ErreurReponse::TropCourte;
    if (lireU32(reponse, Bloc::Statut) != 0) return ErreurReponse::Statut;
    return ErreurReponse::Aucune;
}

} // namespace

quint32 lireU32(QByteArrayView bytes, qsizetype offset) {
    if (!dansBornes(bytes.size(), offset, 4)) return 0;
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

quint16 lireU16(QByteArrayView bytes, qsizetype offset) {
    if (!dansBornes(bytes.size(), offset, 2)) return 0;
    return qFromLittleEndian<quint16>(bytes.data() + offset);
}

void ecrireU32(QByteArray& bytes, qsizetype offset, quint32 value) {
    if (dansBornes(bytes.size(), offset, 4)) qToLittleEndian<quint32>(value, bytes.data() + offset);
}

void ecrireU16(QByteArray& bytes, qsizetype offset, quint16 value) {
    if (dansBornes(bytes.size(), offset, 2)) qToLittleEndian<quint16>(value, bytes.data() + offset);
}

void Clear_Bloc_Entete(QByteArray& bloc) {
    bloc.resize(Bloc::Taille, '\0');
    std::fill_n(bloc.data(), Bloc::TailleEntete, '\0');
}

void Clear_Bloc_Data(QByteArray& bloc) {
    bloc.resize(Bloc::Taille, '\0');
    std::fill(bloc.data() + Bloc::DebutData, bloc.data() + bloc.size(), '\0');
}

QString conv_wexa_string(QByteArrayView champ) {
    const char* debut = champ.data();
    const char* fin = std::find_if(debut, debut + champ.size(), [](char c) { return c == '\0' || c == kFF; });
    return platform::decodeAnsi(QByteArray(debut, fin - debut));
}

void conv_string_wexa(const QString& texte, char* champ, int longueur) {
    if (longueur <= 0) return;
    if (texte.isEmpty()) {
        std::fill_n(champ, longueur, kFF);
        return;
    }
    const QByteArray octets = platform::encodeAnsi(texte);
    const int n = int(std::min<qsizetype>(octets.size(), longueur));
    std::memcpy(champ, octets.constData(), n);
    std::fill(champ + n, champ + longueur, '\0');
}

int ParVoieT2c::nombreVoies() const {
    return qFromLittleEndian<quint16>(octets.data() + OffNombreVoies);
}

void ParVoieT2c::setNombreVoies(int n) {
    qToLittleEndian<quint16>(quint16(std::clamp(n, 0, 0xFFFF)), octets.data() + OffNombreVoies);
}

VoieT2cs::VoieT2cs() {
    premier.fill(kFF);
    dernier.fill(kFF);
    reste.fill(kFF);
}

bool VoieT2cs::estLibre() const {
    const auto toutFF = [](const auto& a) {
        return std::all_of(a.begin(), a.end(), [](char c) { return c == kFF; });
    };
    return toutFF(premier) && toutFF(dernier) && application == Aucun && code2 == Aucun && code3 == Aucun;
}

bool VoieT2cs::estUtilisee() const {
    return premier[0] != kFF || dernier[0] != kFF || application != Aucun || code2 != Aucun;
}

QString VoieT2cs::premierTexte() const {
    return conv_wexa_string(QByteArrayView(premier.data(), premier.size()));
}

QString VoieT2cs::dernierTexte() const {
    return conv_wexa_string(QByteArrayView(dernier.data(), dernier.size()));
}

void VoieT2cs::setPremier(const QString& texte) {
    conv_string_wexa(texte, premier.data(), TailleNumero);
}

void VoieT2cs::setDernier(const QString& texte) {
    conv_string_wexa(texte, dernier.data(), TailleNumero);
}

void requeteTableApplications(QByteArray& bloc, int premier) {
    entete(bloc, CodeRequete::TableApplications);
    ecrireU32(bloc, Bloc::Param12, 2);
    ecrireU32(bloc, Bloc::Premier, quint32(premier));
    ecrireU32(bloc, Bloc::Nombre, MaxApplicationsParPage);
}

void requeteNomApplication(QByteArray& bloc, int codeApplication) {
    entete(bloc, CodeRequete::NomApplication);
    ecrireU32(bloc, Bloc::Param12, 2);
    ecrireU32(bloc, Bloc::Param16, quint32(codeApplication));
}

void requeteApplication(QByteArray& bloc, int codeApplication) {
    entete(bloc, CodeRequete::Application);
    ecrireU32(bloc, Bloc::Param12, 2);
    ecrireU32(bloc, Bloc::Param16, quint32(codeApplication));
}

void requeteEcritureGeneral(QByteArray& bloc, const ParVoieT2c& t2c) {
    entete(bloc, CodeRequete::EcritureGeneral);
    Clear_Bloc_Data(bloc);
    ecrireU32(bloc, Bloc::Param12, 0);
    ecrireU32(bloc, Bloc::Premier, 1);
    ecrireU32(bloc, Bloc::Nombre, 16);
    Wr_Par_voie_T2c(bloc, t2c);
}

void requeteLectureGeneral(QByteArray& bloc) {
    entete(bloc, CodeRequete::LectureGeneral);
    ecrireU32(bloc, Bloc::Premier, 1);
}

void requeteEcritureVoies(QByteArray& bloc, const QList<VoieT2cs>& voies, int premier, int nombre) {
    entete(bloc, CodeRequete::EcritureVoies);
    Clear_Bloc_Data(bloc);
    ecrireU32(bloc, Bloc::Param12, 1);
    ecrireU32(bloc, Bloc::Premier, quint32(premier));
    ecrireU32(bloc, Bloc::Nombre, quint32(nombre));
    Wr_Par_voie_T2cs(bloc, voies, premier, nombre);
}

void requeteLectureVoies(QByteArray& bloc, int premier, int nombre) {
    entete(bloc, CodeRequete::LectureVoies);
    ecrireU32(bloc, Bloc::Premier, quint32(premier));
    ecrireU32(bloc, Bloc::Nombre, quint32(nombre));
}

void requeteRechargeLignes(QByteArray& bloc) {
    entete(bloc, CodeRequete::RechargeLignes);
}

qint16 longueurRequete(quint32 code) {
    switch (code) {
    case CodeRequete::EcritureGeneral:
    case CodeRequete::EcritureVoies:
    case CodeRequete::RechargeLignes:
        return Bloc::Taille;
    default:
        return Bloc::LongueurCourte;
    }
}

void Wr_Par_voie_T2c(QByteArray& bloc, const ParVoieT2c& t2c) {
    if (!dansBornes(bloc.size(), Bloc::DebutData, ParVoieT2c::Taille)) return;
    std::memcpy(bloc.data() + Bloc::DebutData, t2c.octets.data(), ParVoieT2c::Taille);
}

void Wr_Par_voie_T2cs(QByteArray& bloc, const QList<VoieT2cs>& voies, int premier, int nombre) {
    for (int i = 0; i < nombre; ++i) {
        const qsizetype index = qsizetype(premier) + i;
        const qsizetype offset = Bloc::DebutData + qsizetype(i) * VoieT2cs::Taille;
        if (index < 0 || index >= voies.size() || !dansBornes(bloc.size(), offset, VoieT2cs::Taille))
            continue;
        packVoie(bloc.data() + offset, voies[index]);
    }
}

void Wr_Application(QByteArray& bloc, int position, const EnregApplication& app) {
    const qsizetype offset = Bloc::DebutData + qsizetype(position) * EnregApplication::Taille;
    if (position < 0 || !dansBornes(bloc.size(), offset, EnregApplication::Taille)) return;
    ecrireTexte(bloc, offset, 6, app.code);
    ecrireTexte(bloc, offset + 6, 16, app.nom);
    ecrireTexte(bloc, offset + 36, 6, app.code2);
    ecrireTexte(bloc, offset + 42, 10, app.champ4);
}

void ecrireEnteteReponse(QByteArray& bloc, quint32 statut, int premier, int dernier) {
    ecrireU32(bloc, Bloc::Statut, statut);
    ecrireU32(bloc, Bloc::PremierRep, quint32(premier));
    ecrireU32(bloc, Bloc::DernierRep, quint32(dernier));
}

void ecrireNomApplication(QByteArray& bloc, const QString& nom) {
    ecrireTexte(bloc, Bloc::NomApplication1, 16, nom);
}

ErreurReponse lirePage(QByteArrayView reponse, int tailleEnreg, int maxEnreg, PageReponse& page) {
    if (const ErreurReponse e = verifierEntete(reponse); e != ErreurReponse::Aucune) return e;
    const auto premier = qint32(lireU32(reponse, Bloc::PremierRep));
    const auto dernier = qint32(lireU32(reponse, Bloc::DernierRep));
    // 64-bit difference: the indexes are whatever the server sent.
    const qint64 nombre = qint64(dernier) - qint64(premier);
    if (nombre < 0) return ErreurReponse::IndexInverses;
    if (nombre > maxEnreg) return ErreurReponse::TropDEnregistrements;
    if (Bloc::DebutData + nombre * tailleEnreg > reponse.size()) return ErreurReponse::HorsReponse;
    page.premier = premier;
    page.dernier = dernier;
    return ErreurReponse::Aucune;
}

ErreurReponse Rd_Applications(QByteArrayView reponse, QList<EnregApplication>& apps, PageReponse& page) {
    PageReponse lue;
    if (const ErreurReponse e = lirePage(reponse, EnregApplication::Taille, MaxApplicationsParPage, lue);
        e != ErreurReponse::Aucune)
        return e;
    page = lue;
    for (int k = 0; k < lue.nombre(); ++k) {
        const qsizetype o = Bloc::DebutData + qsizetype(k) * EnregApplication::Taille;
        apps.append({texteChamp(reponse, o, 6), texteChamp(reponse, o + 6, 16),
                     texteChamp(reponse, o + 36, 6), texteChamp(reponse, o + 42, 10)});
    }
    return ErreurReponse::Aucune;
}

ErreurReponse Rd_Par_voie_T2c(QByteArrayView reponse, ParVoieT2c& t2c) {
    if (const ErreurReponse e = verifierEntete(reponse); e != ErreurReponse::Aucune) return e;
    if (reponse.size() < Bloc::DebutData + ParVoieT2c::Taille) return ErreurReponse::HorsReponse;
    std::memcpy(t2c.octets.data(), reponse.data() + Bloc::DebutData, ParVoieT2c::Taille);
    return ErreurReponse::Aucune;
}

ErreurReponse Rd_Par_voie_T2cs(QByteArrayView reponse, QList<VoieT2cs>& voies, PageReponse& page) {
    PageReponse lue;
    if (const ErreurReponse e = lirePage(reponse, VoieT2cs::Taille, MaxVoiesParPage, lue);
        e != ErreurReponse::Aucune)
        return e;
    if (lue.premier < 0 || qint64(lue.dernier) > voies.size()) return ErreurReponse::HorsTableau;
    page = lue;
    for (int k = 0; k < lue.nombre(); ++k)
        unpackVoie(reponse.data() + Bloc::DebutData + qsizetype(k) * VoieT2cs::Taille,
                   voies[lue.premier + k]);
    return ErreurReponse::Aucune;
}

ErreurReponse Rd_Application(QByteArrayView reponse, EnregApplication& app) {
    if (const ErreurReponse e = verifierEntete(reponse); e != ErreurReponse::Aucune) return e;
    if (reponse.size() < Bloc::DebutData + 6 + 16) return ErreurReponse::HorsReponse;
    app = {texteChamp(reponse, Bloc::DebutData, 6), texteChamp(reponse, Bloc::DebutData + 6, 16), {}, {}};
    return ErreurReponse::Aucune;
}

ErreurReponse Rd_NomApplication(QByteArrayView reponse, QString& nom) {
    if (const ErreurReponse e = verifierEntete(reponse); e != ErreurReponse::Aucune) return e;
    nom = texteChamp(reponse, Bloc::NomApplication1, 16);
    return ErreurReponse::Aucune;
}
