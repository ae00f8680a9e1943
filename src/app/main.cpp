#include "core/app_context.h"
#include "editor/frm_connect.h"
#include "editor/frm_main.h"
#include "editor/qt_prompts.h"
#include "platform/pacing.h"
#include "platform/paths.h"
#include "platform/raw_command_line.h"
#include "startup/startup.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    AppContext ctx;
    QtPrompts prompts;

    std::unique_ptr<frmConnect> connecting;
    StartupHooks hooks;
    hooks.showConnecting = [&connecting](const QString& caption, const QString& text) {
        connecting = std::make_unique<frmConnect>(caption, text);
        connecting->show();
        // Let the window paint before the fetch holds the thread.
        platform::EventLoopPacing().pause(200);
    };
    hooks.closeConnecting = [&connecting] { connecting.reset(); };

    const StartupResult result =
        runStartup(ctx, platform::rawCommandLine(), platform::programDir(), prompts, hooks);
    connecting.reset();
    if (result != StartupResult::Ok) return 1;

    frmMain window(ctx, prompts);
    prompts.setParentWidget(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}
