#pragma once

#include "core/app_context.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <QtEndian>

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
