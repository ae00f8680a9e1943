#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <array>

class NodePanels;
class QAction;
class QMenu;
class QWidget;
struct AppContext;
struct Configuration;

// The node pop-up ("Menu": action types of a key, add a menu, delete a menu) and the diagnostics-list
// pop-up ("MenuDebug"). Items keep the names the rest of the editor uses ("mnuAction1", "mnuAddMenu",
// "mnuDelete", "mnuEffaceListe"...).
class NodePopup : public QObject {
    Q_OBJECT
public:
    NodePopup(NodePanels& panels, Configuration& config, const AppContext& ctx, QWidget* parent);
    ~NodePopup() override;

    // Sets up and pops the node pop-up at globalPos (does not wait for a choice).
    void afficheMenu(const QString& key, const QPoint& globalPos);

    // The diagnostics-list pop-up, which the window shows itself.
    QMenu* MenuDebug = nullptr;
    QAction* mnuEffaceListe = nullptr;

signals:
    // "Clear the list" of the diagnostics-list pop-up.
    void clearListRequested();

private:
    // Sets the node pop-up up for the node; false when the node gets none (a tree that already has its
    // start menu, an unknown kind).
    bool prepareMenu(const QString& key);
    void onAddMenu();
    void onDelete();

    NodePanels& m_panels;
    Configuration& m_config;
    const AppContext& m_ctx;
    QString m_menuAdd;
    QString m_menuChange;

    QMenu* Menu = nullptr;
    // mnuAction1..mnuAction7 (index 0..6).
    std::array<QAction*, 7> mnuAction{};
    QAction* mnuVide2 = nullptr;
    QAction* mnuAddMenu = nullptr;
    QAction* mnuVide = nullptr;
    QAction* mnuDelete = nullptr;
};
