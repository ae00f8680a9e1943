#pragma once

#include "editor/picker_list.h"

// Station picker: lists the server's stations for a transfer ("trf": every station, the number is
// chosen) or a voice box ("bvo": only stations with a voice box, the voice box is chosen).
// Controls: lstPostes (number, name, voice box), cmdOK, cmdEchap.
class frmPostes : public PickerDialog {
    Q_OBJECT
public:
    frmPostes(const AppContext& ctx, QLineEdit* target, const QString& actionCode, QWidget* parent = nullptr);

    const QString& actionCode() const { return m_code; }

protected:
    QString valueOf(int row) const override;

private:
    void setColumns(const AppContext& ctx);
    void fill(const AppContext& ctx);

    QString m_code;
};

// Opens the station picker modally for target with the given caption. When the server gave no station,
// says through prompts where the lists come from and returns false.
bool afficheListePostes(const AppContext& ctx, Prompts& prompts, QLineEdit* target, const QString& actionCode,
                        const QString& title, QWidget* parent = nullptr);
