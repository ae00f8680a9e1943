#pragma once

#include "dialogs/dialog_hooks.h"
#include "model/fixed_tables.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class Prompts;
class Translation;

// The schedules window: shows one of the ten weekly schedules at a time, day by day with up to two
// time ranges, on a copy of the configuration's schedules. OK writes the copy back when something was
// changed; the import command fills the copy from another tree file.
class FrmHoraires : public QDialog {
    Q_OBJECT
public:
    // repCourant is the folder last used in file dialogs; an import moves it to the chosen file's folder.
    FrmHoraires(const Translation& translation, Schedules& schedules, Prompts& prompts, QString& repCourant,
                DialogHooks hooks, QWidget* parent = nullptr);

    // Starts a session on a fresh copy of the schedules, showing schedule 1 (done when the window shows).
    void activate();

    // OK (cmdFermer), Cancel (cmdEchap) and import (cmdLoad).
    void cmdFermer();
    void cmdEchap();
    void cmdLoad();

    // Schedule being shown, 1..10; 0 before one is shown.
    int currentSchedule() const { return m_current; }
    bool isModified() const { return m_modified; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    using DayCombos = std::array<QComboBox*, 7>;

    void buildControls(const Translation& translation);
    void layoutControls(const Translation& translation);
    DayCombos makeDayCombos(const QString& name, int itemCount);
    // The eight time lists of day d (0..6): first range start hour .. end minute, then the second range.
    std::array<QComboBox*, 8> dayCombos(int d) const;

    void modifHoraires();
    void showSchedule(int index);
    void onTimeListChanged();

    const Translation& m_translation;
    Schedules& m_schedules;
    Prompts& m_prompts;
    QString& m_repCourant;
    DialogHooks m_hooks;

    Schedules m_copy;
    int m_current = 0;
    bool m_modified = false;
    bool m_showing = false; // selections made by the window itself are not changes

    QComboBox* cboHoraires = nullptr;
    QLabel* lblHoraires = nullptr;
    std::array<QLabel*, 7> lblJour{};
    DayCombos cboHeureDeb{}, cboMinuteDeb{}, cboHeureFin{}, cboMinuteFin{};
    DayCombos cboHeureDebBis{}, cboMinuteDebBis{}, cboHeureFinBis{}, cboMinuteFinBis{};
    QPushButton* cmdFermerButton = nullptr;
    QPushButton* cmdEchapButton = nullptr;
    QPushButton* cmdLoadButton = nullptr;
};
