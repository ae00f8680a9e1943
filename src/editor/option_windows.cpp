#include "editor/option_windows.h"

#include "core/app_context.h"
#include "dialogs/dialog_hooks.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"
#include "editor/tree_document.h"

namespace {

DialogHooks documentHooks(TreeDocument& document) {
    DialogHooks hooks;
    hooks.markModified = [&document] { document.setModified(true); };
    hooks.addCancel = [&document](const QString& labelKey) {
        document.recordStep(document.context().getLabel(labelKey), false);
    };
    return hooks;
}

} // namespace

void showScheduleWindow(TreeDocument& document, Prompts& prompts, QString& folder, const QString& title,
                        QWidget* parent) {
    FrmHoraires window(document.context().translation, document.config().schedules, prompts, folder,
                       documentHooks(document), parent);
    window.setWindowTitle(title);
    window.exec();
}

void showParameterWindow(TreeDocument& document, const QString& title, QWidget* parent) {
    FrmGeneral window(document.context().translation, document.config().general, documentHooks(document),
                      parent);
    window.setWindowTitle(title);
    window.exec();
}

void showAboutWindow(const AppContext& ctx, const QString& title, QWidget* parent) {
    FrmAPropos window(ctx.translation, ctx.programDir, parent);
    window.setWindowTitle(title);
    window.exec();
}
