#pragma once

#include "model/undo_journal.h"

#include <QString>

class QLineEdit;

// What the detail panels need from the main window. The panels write every edit into the section store
// themselves; the window keeps the title mark, the undo journal, the tree view's selection and the
// pickers.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    // Marks the configuration saved (true) or modified (false): title "*", save commands.
    virtual void setBoolSave(bool saved) = 0;
    // Records an undo step. label is the caption shown in the journal (already translated, for example
    // the "HistoAction" label, or "HistoDelMenu" + " '" + node text + "'"), or UndoJournal::LastAction.
    // withNodeText adds the selected node's text to the journal entry.
    virtual void addCancel(const QString& label, bool withNodeText) = 0;
    // Selects the node in the tree view and scrolls it into view, without calling the panels back: the
    // panels redisplay the node themselves.
    virtual void selectNode(const QString& key) = 0;
    // Opens the announcement picker; the chosen number is written into target (whose change handler
    // stores it).
    virtual void openAnnouncementPicker(const QString& title, QLineEdit* target) = 0;
    // Opens the station picker; code is "trf" (station numbers) or "bvo" (voice-box numbers).
    virtual void openStationPicker(const QString& title, const QString& code, QLineEdit* target) = 0;
};
