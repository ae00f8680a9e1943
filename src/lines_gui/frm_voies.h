#pragma once

#include "lines/lines500.h"
#include "platform/pacing.h"

#include <QDialog>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;
struct AppContext;
class Prompts;

// The line window of generation-500 servers: a grid of number ranges and the application answering
// each, read from and written to the server through the line model. Rows of applications other than
// the auto-attendant's are greyed and locked.
class FrmVoies : public QDialog {
    Q_OBJECT
public:
    FrmVoies(AppContext& ctx, Prompts& prompts, QWidget* parent = nullptr);

    // The server reset of the lines, run without any window (so no timer-driven load can start beside
    // it): auto-attendant applications and the first numbers of their rows (and of rows without
    // application) are removed and the table written back. False when a request failed; nothing is
    // written after a failed read.
    static bool ResetVoies(AppContext& ctx);

    // The waits of the progress updates; the window's own event-loop pacing by default.
    void setPacing(platform::Pacing& pacing) { m_pacing = &pacing; }

    // What Timer1 runs once the window is shown: records, then the choosable applications.
    void loadLines();
    bool isLoaded() const { return m_lines.isRead(); }

    // Buttons (picIcon_0 and picIcon_1 act as cmdOK and cmdCancel).
    void cmdOK();
    void cmdCancel();
    void cmdImport();
    void cmdExport();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Closing with edits not written asks first.
    void done(int result) override;

private:
    static constexpr int kColumnCount = 4; // row number, first number, last number, application

    QString label(const char* key) const;
    void buildControls();
    void layoutControls();
    void fillGrid();
    void showRow(int line); // grid row line + 1 and its hidden list items
    void fillApplicationLists();
    void showLoadError();
    void enableButtons(bool enabled);

    bool isRowEditable(int row) const;
    void openEditor(int row, int column);
    void acceptNumber();
    void chooseApplication(int index);
    void closeEditors(bool commit);
    void clearCurrentCell();

    AppContext& m_ctx;
    Prompts& m_prompts;
    Lines500 m_lines;
    platform::EventLoopPacing m_eventPacing;
    platform::Pacing* m_pacing = &m_eventPacing;
    bool m_firstShow = true;
    int m_editRow = -1; // grid cell of the open editor
    int m_editColumn = -1;
    QString m_greyedReason; // tooltip of a greyed row

    QTableWidget* Grille = nullptr;
    QLineEdit* txtNumCall = nullptr;
    QComboBox* cboListeApp = nullptr;
    QListWidget* lstCodesVoies = nullptr;
    QListWidget* lstLibVoies = nullptr;
    QListWidget* lstDATAServeur = nullptr;
    QListWidget* lstInfosApp = nullptr;
    QFrame* picLoad = nullptr;
    QLabel* lblLoad = nullptr;
    QProgressBar* picSock = nullptr;
    QLabel* lblProgress = nullptr;
    QFrame* picErreur = nullptr;
    QLabel* lblErreur = nullptr;
    QTimer* Timer1 = nullptr;
    QPushButton* cmdOKButton = nullptr;
    QPushButton* cmdCancelButton = nullptr;
    QPushButton* cmdImportButton = nullptr;
    QPushButton* cmdExportButton = nullptr;
    std::array<QToolButton*, 2> picIcon{};
};
