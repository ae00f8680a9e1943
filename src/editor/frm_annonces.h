#pragma once

#include "editor/picker_list.h"

// Announcement picker: lists the server's announcements; the chosen number goes to the target box.
// Controls: lstAnnonces (number, name), cmdOK, cmdEchap.
class frmAnnonces : public PickerDialog {
    Q_OBJECT
public:
    frmAnnonces(const AppContext& ctx, QLineEdit* target, QWidget* parent = nullptr);

protected:
    QString valueOf(int row) const override;
};

// Opens the announcement picker modally for target with the given caption. When the server gave no
// announcement, says through prompts where the lists come from and returns false.
bool afficheListeAnnonces(const AppContext& ctx, Prompts& prompts, QLineEdit* target, const QString& title,
                          QWidget* parent = nullptr);
