#pragma once

#include "model/fixed_tables.h"
#include "model/node_tree.h"
#include "model/section_store.h"

struct AppContext;

// The one configuration being edited: sections, the node tree that structures them, the general
// parameters and schedules, and the action types used to describe keys. The main window owns one;
// opening a file replaces its content.
struct Configuration {
    SectionStore sections;
    NodeTree nodes;
    GeneralParams general = makeGeneralParams();
    Schedules schedules;
    ActionTypes actionTypes;
    int maxNumMenu = 0; // highest menu number loaded or created since the tree was opened

    QString fileCourant;  // the tree file being edited
    bool boolSave = true; // no unsaved change
};

// An empty configuration whose action types and schedule days carry the captions of the context's
// translation; the editor and qavo-cli both start from it.
Configuration makeConfiguration(const AppContext& ctx);
