#include "app/app_options.h"
#include "core/app_context.h"
#include "editor/frm_connect.h"
#include "editor/frm_main.h"
#include "editor/qt_prompts.h"
#include "editor/tree_document.h"
#include "history/transfer_recorder.h"
#include "lines_gui/line_windows.h"
#include "platform/pacing.h"
#include "platform/paths.h"
#include "platform/raw_command_line.h"
#include "server/server_transfers.h"
#include "startup/qt_catalog.h"
#include "startup/startup.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    if (const auto code = handleEditorOptions(argc, argv)) return *code;
    QApplication app(argc, argv);
    AppContext ctx;
    QtPrompts prompts;

    // Qt's own buttons and dialogs speak the language of the translation file, once it is read.
    bool catalogInstalled = false;
    auto installCatalog = [&] {
        if (!catalogInstalled) installQtCatalog(app, ctx.translation);
        catalogInstalled = true;
    };

    // Every transfer is recorded in the history; what fails to record is said in the diagnostics list
    // once the window has one.
    DiagnosticsSink* diagnostics = nullptr;
    history::installTransferRecorder([&diagnostics] { return diagnostics; });

    std::unique_ptr<frmConnect> connecting;
    StartupHooks hooks;
    hooks.showConnecting = [&connecting, &installCatalog](const QString& caption, const QString& text) {
        installCatalog();
        connecting = std::make_unique<frmConnect>(caption, text);
        connecting->show();
        // Let the window paint before the fetch holds the thread.
        platform::EventLoopPacing().pause(200);
    };
    hooks.closeConnecting = [&connecting] { connecting.reset(); };
    // Online mode: the server's information file and tree, the window kept painted while they come.
    platform::EventLoopPacing pacing;
    hooks.fetchServerInfo = [&pacing](AppContext& online) {
        return server_transfers::fetchServerInfo(online, pacing);
    };

    const StartupResult result = runStartup(ctx, platform::rawCommandLine(),
                                            platform::resourceDir(platform::programDir()), prompts, hooks);
    connecting.reset();
    if (result != StartupResult::Ok) return 1;
    installCatalog();

    // The document outlives its window: the widgets go first, then what they show.
    TreeDocument document(ctx);
    diagnostics = &document.diagnostics();
    frmMain window(document, prompts);
    prompts.setParentWidget(&window);
    // The server reset also takes the auto-attendant off the server's lines.
    window.setResetVoies([&ctx] { return resetServerLines(ctx); });
    window.Form_Load();
    window.show();
    // Unsaved work of an editor that did not end normally, asked about over the window.
    window.offerLeftOverJournals();
    return app.exec();
}
