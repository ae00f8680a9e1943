#pragma once

#include "flow/call_walk.h"
#include "flow/scenarios.h"

#include <QDialog>
#include <QList>
#include <array>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Prompts;
struct AppContext;
struct Configuration;

// "Simulate a call": a keypad and the caller's other moves drive a walk of one tree at a chosen moment,
// and the steps are listed as they happen. Choosing a step asks for its node to be shown; so does each
// move, with the step it led to. The walk is made again from the start each time, so that an edit of
// the tree, another moment or another tree shows at once what the same caller would meet. The call made
// can be kept as a scenario, and a file of scenarios run on the tree: choosing a result replays its call.
class FrmAppel final : public QDialog {
    Q_OBJECT
public:
    FrmAppel(const Configuration& config, const AppContext& ctx, Prompts& prompts, QWidget* parent = nullptr);

    // A new call to tree `tree` (1..5): the moves so far are forgotten.
    void startCall(int tree);
    // The caller's move: the walk goes on and its last step is shown.
    void play(const flow::CallEvent& event);
    // The same call walked again on the configuration as it now is (after an edit), the selection kept.
    void refresh();

    int tree() const;
    const QList<flow::CallStep>& steps() const { return m_steps; }

    // Appends the call made to a scenario file the user chooses, expecting where it ended now.
    void saveScenario();
    // Runs a scenario file the user chooses on the tree and lists the results.
    void runScenarios();

signals:
    // A step was chosen, or a move led to it: its node (tree, menu or key) is to be shown.
    void nodeChosen(const QString& key);
    // The chosen step is a tree's exit, or leads from it: the exit (0 transfer fails, 1 closed, 2 no
    // reaction) of the tree holding node `key`.
    void exitChosen(const QString& key, int exit);

protected:
    void changeEvent(QEvent* event) override;

private:
    QString label(const char* key) const;
    void fillTrees();
    void walk();
    void showSteps();
    void chooseStep(int row);
    QWidget* makeScenarioBox();
    void replayScenario(int row);
    QString scenarioFolder() const;

    const Configuration& m_config;
    const AppContext& m_ctx;
    Prompts& m_prompts;
    QList<flow::CallEvent> m_events;
    QList<flow::CallStep> m_steps;

    QComboBox* cboArbre = nullptr;
    QDateTimeEdit* dtpMoment = nullptr;
    std::array<QPushButton*, 12> cmdTouche{}; // 1-9, *, 0, # as on a telephone
    QPushButton* cmdSilence = nullptr;
    QPushButton* cmdEchec = nullptr;
    QPushButton* cmdRecommencer = nullptr;
    QLabel* lblTouches = nullptr; // the caller's moves so far
    QListWidget* lstEtapes = nullptr;
    QPushButton* cmdFermer = nullptr;

    QString m_scenarioFile; // the last one saved to or run
    QList<flow::ScenarioResult> m_results;
    QLineEdit* txtScenario = nullptr; // the name of the scenario to save
    QPushButton* cmdEnregistrerScenario = nullptr;
    QPushButton* cmdLancerScenarios = nullptr;
    QLabel* lblResultats = nullptr;
    QListWidget* lstResultats = nullptr;
};
