// qavo-cli-plan: the pictures of the plan, run by qavo-cli in its place.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/program.h"

#include <QGuiApplication>

#include <memory>

int main(int argc, char* argv[]) {
    // Pictures need fonts, hence a GUI application, on a screen that is never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = [&] {
        const cli::QuietQtWarnings quiet; // Qt's start-up chatter is not the command's message
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
    const cli::Command commands[] = {{"plan", cli::runPlan}};
    return cli::runCommand(commands);
}
