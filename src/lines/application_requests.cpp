// The application table's requests to the server: with the server link, apart from the table's rules.
#include "lines/application_table.h"
#include "lines/ihm_exchange.h"

ChargementApplications loadApplications(AppContext& ctx) {
    ChargementApplications resultat;
    QByteArray bloc;
    int premier = 0;
    for (;;) {
        requeteTableApplications(bloc, premier);
        const std::optional<QByteArrayView> reponse = envoyerRequeteIhm(ctx, bloc);
        PageReponse page;
        if (!reponse || Rd_Applications(*reponse, resultat.entrees, page) != ErreurReponse::Aucune)
            return resultat;
        if (page.nombre() < MaxApplicationsParPage) break;
        // A server that does not move on would be asked forever.
        if (page.dernier <= premier) return resultat;
        premier = page.dernier;
    }
    resultat.ok = true;
    return resultat;
}

std::optional<EnregApplication> lireApplication(AppContext& ctx, int code) {
    QByteArray bloc;
    requeteApplication(bloc, code);
    const std::optional<QByteArrayView> reponse = envoyerRequeteIhm(ctx, bloc);
    EnregApplication app;
    if (!reponse || Rd_Application(*reponse, app) != ErreurReponse::Aucune) return std::nullopt;
    return app;
}

QString lireNomApplication(AppContext& ctx, int code) {
    QByteArray bloc;
    requeteNomApplication(bloc, code);
    const std::optional<QByteArrayView> reponse = envoyerRequeteIhm(ctx, bloc);
    QString nom;
    if (!reponse || Rd_NomApplication(*reponse, nom) != ErreurReponse::Aucune || nom.trimmed().isEmpty())
        return NomApplicationInconnue;
    return nom;
}
