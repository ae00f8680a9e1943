#pragma once

#include "lines/line_table.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class LineGridModel;
class Prompts;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class QTreeWidget;
class NodeIcons;
struct AppContext;
namespace platform {
class Pacing;
}

// The line window of generation-900 servers: the server's line table in the grid `Grille`, edited in
// place, checked after every change, and written back as "rcm.cfg". The window is thin: the table, its
// files, rules and checks are the lines model's; controls keep their design names as object names.
class FrmVoies900 final : public QDialog {
    Q_OBJECT
public:
    // pacing lets the window breathe while it loads and fills (tests give one that does not wait).
    FrmVoies900(AppContext& ctx, Prompts& prompts, platform::Pacing& pacing, QWidget* parent = nullptr);
    ~FrmVoies900() override;

    // The window shown again when this one closes.
    void setFormToRestore(QWidget* form) { m_formToRestore = form; }
    // Shows the grid's pop-up menu; the real one runs it modally, tests trigger its items instead.
    using MenuShower = std::function<void(QMenu& menu, const QPoint& globalPos)>;
    void setMenuShower(MenuShower shower) { m_showMenu = std::move(shower); }

    // The steps of the window, in the order they run.
    void Form_Load();
    void Timer1_Timer();
    bool loadApplications();
    bool loadLineFiles();
    void fillPlanningList();
    void fillStationLists();
    void fillGrid();
    bool saveLineTable();
    // Editors committed, then the table written and stored; false (with a message) when it was not.
    bool apply();

    void cmdAppliquer_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdExport_Click();
    void cmdImport_Click();
    void cmdAddLigne_Click();

    // Editing (frm_voies900_edit.cpp).
    void deleteLigne(int row);
    void insertLigne(int row);
    void verifDebug();
    void AjouteInfo(const QString& text, short severity, const QString& tag);
    // Opens the editor of the grid's current cell (a double-click or Enter in the grid).
    void openCellEditor();
    // Closes an open editor keeping what it holds, as Enter or a choice would.
    void commitEditors();

    const LineTable& table() const { return m_table; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void layoutControls();
    void buildEditors();
    void setButtonsEnabled(bool enabled);
    void showError();
    // The busy and error panels over the grid, placed again when the window's size changes.
    void placePanels();
    QString label(const char* key) const;
    QString sectionLabel(const char* section, const char* key) const;
    // Runs while the export or import works: the commands are disabled and the pointer waits.
    void runBusy(const std::function<void()>& work);

    // Editing helpers.
    void hideEditors();
    void placeEditor(QWidget* editor, int row, int column, int extraWidth);
    void txtNumCall_Enter();
    void txtNumCall_Escape();
    void closeEditor(QWidget* editor);
    // Edits not yet applied to the server: the table differs from what the server last held.
    bool hasUnappliedEdits() const;
    void comboChosen(QComboBox* combo);
    void comboEscape(QComboBox* combo);
    void openPicker();
    void pickerChosen();
    void gridDelete();
    void gridRightPress(const QPoint& pos);
    void lstDebug_ItemClick(int index);
    void picF_Click();
    void showLine(int line);
    bool editorOpen() const;
    // What a key or mouse event on one of the editors or the grid does; empty when it is not theirs.
    std::function<void()> handlerFor(QObject* watched, QEvent* event);

    AppContext& m_ctx;
    Prompts& m_prompts;
    platform::Pacing& m_pacing;
    QPointer<QWidget> m_formToRestore;
    MenuShower m_showMenu;
    std::unique_ptr<NodeIcons> m_icons;

    LineTable m_table;
    QByteArray m_applied; // the server's "rcm.cfg" as last read or written
    LineNames m_names;
    QList<StationEntry> m_stations;
    bool m_loaded = false; // Timer1 has run
    int m_editRow = 0;     // cell of the open editor
    int m_editColumn = 0;
    int m_popupRow = 0;    // line chosen by a right-click on its number
    bool m_folded = false; // the diagnostics panel

    // Controls, under the names the design gives them.
    QTableView* Grille = nullptr;
    LineGridModel* gridModel = nullptr;
    QLineEdit* txtNumCall = nullptr;
    QToolButton* cmdPostes = nullptr;
    QFrame* picPostes = nullptr;
    QTreeWidget* lstPostes = nullptr;
    QTreeWidget* lstPostesAPP = nullptr;
    QComboBox* cboPlanning = nullptr;
    QComboBox* cboTrace = nullptr;
    QListWidget* lstInfosApp = nullptr;
    QListWidget* lstInfosAppALL = nullptr;
    QListWidget* lstDebug = nullptr;
    QToolButton* picF = nullptr;
    QFrame* picLoad = nullptr;
    QLabel* lblLoad = nullptr;
    QFrame* picProgress = nullptr;
    QLabel* lblProgress = nullptr;
    QFrame* picErreur = nullptr;
    QTimer* Timer1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdAppliquer = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdExport = nullptr;
    QToolButton* cmdAddLigne = nullptr;
    QToolButton* cmdAddLigne2 = nullptr;
    std::array<QToolButton*, 2> picIcon{};
    QMenu* frmVoies900Menu = nullptr;
    QAction* mnuDel = nullptr;
    QAction* mnuInsert = nullptr;
};
