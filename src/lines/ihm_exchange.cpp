#include "lines/ihm_exchange.h"

#include "lines/record_codec.h"
#include "server/passerelle.h"

std::optional<QByteArrayView> envoyerRequeteIhm(AppContext& ctx, QByteArray& bloc) {
    // The reply is read back into the whole buffer, whatever the request's length.
    if (bloc.size() < Bloc::Taille) bloc.resize(Bloc::Taille, '\0');
    bool repondu = false;
    qsizetype longueur = 0;
    const qint16 resultat = passerelleOf(ctx).GetIhmInfo(
        ctx, bloc, longueurRequete(lireU32(bloc, Bloc::Code)), &repondu, &longueur);
    if (!repondu || resultat != 0) return std::nullopt;
    return QByteArrayView(bloc.constData(), qMin(longueur, bloc.size()));
}
