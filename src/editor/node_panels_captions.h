#pragma once

#include "editor/node_panels.h"

// Captions the panels use while the user edits, looked up once.
struct NodePanels::Captions {
    explicit Captions(const AppContext& ctx);
    QString LblTransfert, LblDiffusion, LblRepeat, LblSilences, LblSautVers, LblBVO;
    QString NoeudMenu, HistoAction, HistoMenu, HistoDelMenu;
};
