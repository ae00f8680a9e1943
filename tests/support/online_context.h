#pragma once

#include "core/app_context.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"

#include <QDir>
#include <memory>

namespace testing_support {

// The context online on a qavo-sim at `port` as user "u" password "p", through the editor's HTTP client.
inline void goOnline(AppContext& ctx, quint16 port, int connectMs = 3000, int replyMs = 3000) {
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("127.0.0.1");
    ctx.HPORT = QString::number(port);
    ctx.USER = QStringLiteral("u");
    ctx.PASS = QStringLiteral("p");
    auto gateway = std::make_unique<HttpGateway>();
    gateway->setTimeouts(connectMs, replyMs);
    passerelleOf(ctx).setGateway(std::move(gateway));
}

// The user's data folder `folder` with its temporary folder and the local copy of the server's tree.
inline void useDataFolder(AppContext& ctx, const QString& folder) {
    ctx.RepData = folder + QLatin1Char('/');
    ctx.repTMP = ctx.RepData + QStringLiteral("TMP/");
    QDir().mkpath(ctx.repTMP);
    ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
}

} // namespace testing_support
