// The line configuration command: the line window of the server's generation, modal over the editor.
#include "core/app_context.h"
#include "editor/frm_main.h"
#include "lines_gui/line_windows.h"

void frmMain::mnuVoies_Click() {
    if (m_ctx.modeLocal) return;
    openLineTableWindow(m_ctx, m_prompts, this);
}
