// qavo-cli-plan: the pictures of the plan, run by qavo-cli in its place.
#include "cli/commands.h"
#include "cli/program.h"

#include <QGuiApplication>

int main(int argc, char* argv[]) {
    // Pictures need fonts, hence a GUI application, on a screen that is never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const cli::Command commands[] = {{"plan", cli::runPlan}};
    return cli::runCommand(commands);
}
