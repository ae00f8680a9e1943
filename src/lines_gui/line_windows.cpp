#include "lines_gui/line_windows.h"

#include "core/app_context.h"
#include "lines_gui/frm_voies.h"
#include "lines_gui/frm_voies900.h"
#include "platform/pacing.h"

void openLineTableWindow(AppContext& ctx, Prompts& prompts, QWidget* parent) {
    platform::EventLoopPacing pacing;
    if (ctx.VERSION_900) {
        FrmVoies900 window(ctx, prompts, pacing, parent);
        window.setWindowTitle(
            ctx.translation.getLabel(QStringLiteral("frmVoies900"), QStringLiteral("Titre")) +
            QStringLiteral(" - ") + ctx.HADDR);
        window.setFormToRestore(parent);
        window.exec();
        return;
    }
    // Servers of generation 500: ranges of numbers in binary line records.
    FrmVoies window(ctx, prompts, parent);
    window.exec();
}

bool resetServerLines(AppContext& ctx) {
    return FrmVoies::ResetVoies(ctx);
}
