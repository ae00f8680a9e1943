#pragma once

// The main window against qavo-sim over HTTP: an online editor whose server is a simulator of its own.
#include "window_fixture.h"

#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "startup/server_info.h"
#include "support/sim_process.h"

#include <optional>

namespace editor_testing {

// The worked example as the demonstration server holds it, with its closed exit made complete so
// that it passes the check.
inline QByteArray passingTree(const QString& m1Name = QStringLiteral("Main menu")) {
    return workedExample()
        .replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2")
        .replace("lib=Main menu", "lib=" + m1Name.toLatin1());
}

class WindowServer : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        sim.emplace();
        ASSERT_NE(sim->port(), 0) << "qavo-sim did not start";
        connectTo(ctx);
        // The check reads the server's lists.
        ctx.fileLecture = sim->root() + QStringLiteral("/qavo_general.txt");
        loadServerLists(ctx, ctx.fileLecture);
    }
    void connectTo(AppContext& c, int connectMs = 3000, int replyMs = 3000) {
        c.modeLocal = false;
        c.HADDR = QStringLiteral("127.0.0.1");
        c.HPORT = QString::number(sim->port());
        c.USER = QStringLiteral("u");
        c.PASS = QStringLiteral("p");
        auto gateway = std::make_unique<HttpGateway>();
        gateway->setTimeouts(connectMs, replyMs);
        passerelleOf(c).setGateway(std::move(gateway));
    }
    // The simulator's log since the last call: "METHOD PATH STATUS" per request.
    QStringList requests() {
        QStringList all = QString::fromUtf8(sim->log()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList fresh = all.mid(seen);
        seen = all.size();
        return fresh;
    }
    QByteArray serverTree() const {
        return testing_support::readBytes(sim->root() + QStringLiteral("/arbre.maa"));
    }
    QStringList tmpFiles() const { return QDir(ctx.repTMP).entryList(QDir::Files, QDir::Name); }

    std::optional<testing_support::SimProcess> sim;
    qsizetype seen = 0;
};

} // namespace editor_testing
