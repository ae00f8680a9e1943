// qavo-cli-server: the commands that talk to a voice server, run by qavo-cli in its place.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/program.h"
#include "core/diagnostics_sink.h"
#include "history/transfer_recorder.h"
#include "server/server_transfers.h"

#include <QCoreApplication>

namespace {

// The diagnostics list of a program without a window: its messages on stderr.
class StderrDiagnostics final : public DiagnosticsSink {
public:
    void AjouteInfo(const QString& message, short, const QString&) override { cli::warn(message); }
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Addresses and the server's reasons may carry a password.
    cli::setMessageFilter(server_transfers::withoutPasswords);
    StderrDiagnostics diagnostics;
    history::installTransferRecorder([&diagnostics] { return &diagnostics; });
    const cli::Command commands[] = {
        {"fetch", cli::runFetch, true},
        {"send", cli::runSend, true},
        {"lines-export", cli::runLinesExport, true},
        {"lines-import", cli::runLinesImport, true},
    };
    return cli::runCommand(commands);
}
