// The line configuration command: the line window of the server's generation, modal over the editor.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "lines/gui/frm_voies.h"
#include "lines/gui/frm_voies900.h"
#include "platform/pacing.h"

void frmMain::mnuVoies_Click() {
    if (m_ctx.modeLocal) return;
    platform::EventLoopPacing pacing;
    if (m_ctx.VERSION_900) {
        FrmVoies900 window(m_ctx, m_prompts, pacing, this);
        window.setWindowTitle(
            m_ctx.translation.getLabel(QStringLiteral("frmVoies900"), QStringLiteral("Titre")) +
            QStringLiteral(" - ") + m_ctx.HADDR);
        window.setFormToRestore(this);
        window.exec();
        return;
    }
    // Servers of generation 500: ranges of numbers in binary line records.
    FrmVoies window(m_ctx, m_prompts, this);
    window.exec();
}
