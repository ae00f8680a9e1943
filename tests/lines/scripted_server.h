#pragma once

#include "core/app_context.h"
#include "lines/record_codec.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <memory>

// A context whose gateway plays scripted replies and keeps the requests it got.
struct ServeurScripte {
    AppContext ctx;
    RecordingGateway* gateway = nullptr;

    explicit ServeurScripte(const QString& translation) {
        auto owned = std::make_unique<RecordingGateway>();
        gateway = owned.get();
        ctx.passerelle = std::make_shared<Passerelle>(std::move(owned));
        ctx.translation.setText(translation);
    }

    // 32-bit field of the n-th request seen.
    quint32 champ(int requete, int offset) const {
        return qFromLittleEndian<quint32>(gateway->requestsSeen.at(requete).constData() + offset);
    }
    // The request codes seen, in order.
    QList<quint32> codes() const {
        QList<quint32> c;
        for (int i = 0; i < gateway->requestsSeen.size(); ++i)
            c << champ(i, 8);
        return c;
    }
};

inline QByteArray blocVide() {
    return QByteArray(Bloc::Taille, '\0');
}

inline VoieT2cs voie(const QString& premier, const QString& dernier, quint16 application) {
    VoieT2cs v;
    v.setPremier(premier);
    v.setDernier(dernier);
    v.application = application;
    return v;
}

// A server table of `nombre` lines: 451, 300, no application, 451 again, then free records.
inline QList<VoieT2cs> tableServeur(int nombre) {
    QList<VoieT2cs> voies(nombre);
    voies[0] = voie("0140", "0149", 451);
    voies[1] = voie("0200", "0299", 300);
    voies[2] = voie("0300", "0300", VoieT2cs::Aucun);
    voies[3] = voie("0400", "", 451);
    return voies;
}

// The general record of a table of `nombre` lines, its other bytes marked.
inline QByteArray reponseGeneral(int nombre) {
    QByteArray bloc = blocVide();
    ParVoieT2c t2c;
    t2c.octets.fill(char(0x33));
    t2c.setNombreVoies(nombre);
    Wr_Par_voie_T2c(bloc, t2c);
    return bloc;
}

inline QByteArray pageVoies(const QList<VoieT2cs>& voies, int premier, int nombre) {
    QByteArray bloc = blocVide();
    ecrireEnteteReponse(bloc, 0, premier, premier + nombre);
    Wr_Par_voie_T2cs(bloc, voies, premier, nombre);
    return bloc;
}

// The replies of a whole read of `voies`: general record, pages, then the names of 451 and 300.
inline QList<QByteArray> lectureVoies(const QList<VoieT2cs>& voies) {
    QList<QByteArray> r{reponseGeneral(int(voies.size()))};
    for (int p = 0; p < voies.size(); p += MaxVoiesParPage)
        r << pageVoies(voies, p, qMin(MaxVoiesParPage, int(voies.size()) - p));
    for (const EnregApplication& app :
         {EnregApplication{"451", "$STANDARD", {}, {}}, {"300", "Messagerie", {}, {}}})
        Wr_Application(r.emplace_back(blocVide()), 0, app);
    return r;
}

// The records of every request 102 seen, unpacked with the codec into a table of `nombre` lines.
inline QList<VoieT2cs> voiesEcrites(const ServeurScripte& s, int nombre) {
    QList<VoieT2cs> voies(nombre);
    for (int i = 0; i < s.gateway->requestsSeen.size(); ++i) {
        if (s.champ(i, Bloc::Code) != CodeRequete::EcritureVoies) continue;
        QByteArray bloc = s.gateway->requestsSeen[i].left(Bloc::Taille);
        const int premier = int(s.champ(i, Bloc::Premier));
        ecrireEnteteReponse(bloc, 0, premier, premier + int(s.champ(i, Bloc::Nombre)));
        PageReponse page;
        EXPECT_EQ(Rd_Par_voie_T2cs(bloc, voies, page), ErreurReponse::Aucune);
    }
    return voies;
}
