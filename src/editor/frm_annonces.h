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

// Opens the announcement picker modally for target with the given caption; does nothing and returns
// false when the server gave no announcement.
bool afficheListeAnnonces(const AppContext& ctx, QLineEdit* target, const QString& title,
                          QWidget* parent = nullptr);
