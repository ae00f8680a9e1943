#pragma once

#include "model/configuration.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class PanelHost;
struct AppContext;

// What the last node click left behind; menu edits and field handlers write through it.
struct DisplayState {
    QString currentNodeKey;
    int currentSectionIndex = 0; // the node's own section (tree or menu), 0 for a key node
    QString parentNodeKey;       // "" for a tree node
    int parentSectionIndex = 0;  // not changed by a click on a tree node
    int currentKeyDigit = -1;    // leading digit of a menu or key node's text, -1 otherwise
    int nodeDepth = 0;           // steps from the node up to its tree node
    bool displayBusy = false;    // set while a panel is filled: no handler writes then
};

// Captions the panels use while the user edits, looked up once.
struct PanelCaptions {
    explicit PanelCaptions(const AppContext& ctx);
    QString LblTransfert, LblDiffusion, LblRepeat, LblSilences, LblSautVers, LblBVO;
    QString NoeudMenu, HistoAction, HistoMenu, HistoDelMenu;
};

// What the three detail panels and their coordinator share, held once by the coordinator: the store
// every edit goes into, the window it is reported to, and the node shown.
struct PanelContext {
    PanelContext(Configuration& config, const AppContext& ctx, PanelHost& host);

    Configuration& config;
    const AppContext& ctx;
    PanelHost& host;
    const PanelCaptions captions;
    const ActionTypes types; // captions of the type lists and node descriptions
    std::function<QIcon(const QString&)> icons;
    DisplayState state;
    // Jump targets of the node shown: "", the menus of the node's tree, then any target a shown value
    // names elsewhere (another tree, say). The labels are what the jump lists show, at the same positions.
    QStringList jumpKeys;
    QStringList jumpLabels;

    // Marks the configuration modified and records an undo step with the node's text.
    void record(const QString& label);
    QString codeOfCaption(const QString& caption) const;
    int colourOf(int sectionIndex, int valueIndex, const QString& suffix = {}) const;
    // The name of the tree or menu a jump goes to, none when it names no section.
    std::optional<QString> jumpTargetName(const QString& target) const;
    // Position of target among the jump targets; one from outside the node's tree is added so that it
    // shows.
    int jumpIndex(const QString& target);
};
