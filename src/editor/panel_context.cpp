#include "editor/panel_context.h"

#include "core/app_context.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "model/verification.h"

PanelCaptions::PanelCaptions(const AppContext& ctx) {
    const auto label = [&](const char* key) { return ctx.getLabel(QString::fromLatin1(key)); };
    LblTransfert = label("LblTransfert");
    LblDiffusion = label("LblDiffusion");
    LblRepeat = label("LblRepeat");
    LblSilences = label("LblSilences");
    LblSautVers = label("LblSautVers");
    LblBVO = label("LblBVO");
    NoeudMenu = label("NoeudMenu");
    HistoAction = label("HistoAction");
    HistoMenu = label("HistoMenu");
    HistoDelMenu = label("HistoDelMenu");
}

PanelContext::PanelContext(Configuration& config, const AppContext& ctx, PanelHost& host)
    : config(config), ctx(ctx), host(host), captions(ctx), types(makeActionTypes(ctx.translation)) {}

void PanelContext::record(const QString& label) {
    host.setBoolSave(false);
    host.addCancel(label, true);
}

QString PanelContext::codeOfCaption(const QString& caption) const {
    for (const ActionType& type : types)
        if (type.caption == caption) return type.code;
    return QString();
}

int PanelContext::colourOf(int sectionIndex, int valueIndex, const QString& suffix) const {
    return fieldStateColour(config.sections, sectionIndex, valueIndex, suffix);
}

std::optional<QString> PanelContext::jumpTargetName(const QString& target) const {
    const int index = target.isEmpty() ? 0 : config.sections.findSection(target);
    if (index == 0) return std::nullopt;
    return config.sections.at(index).value(MenuValue::lib); // the same field for a tree
}

int PanelContext::jumpIndex(const QString& target) {
    if (target.isEmpty()) return 0;
    const int known = panel_support::indexIgnoringCase(jumpKeys, target);
    if (known >= 0) return known;
    const std::optional<QString> name = jumpTargetName(target);
    jumpKeys << target;
    jumpLabels << (name ? target + QStringLiteral(" - ") + *name : target);
    return int(jumpKeys.size()) - 1;
}
