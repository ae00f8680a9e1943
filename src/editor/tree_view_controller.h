#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

class NodePanels;
class NodePopup;
class QModelIndex;
class QTreeView;
struct Configuration;

// Attached to the window's tree view: the Delete key clears a key's action or deletes a menu, and a
// right-button press first selects the node under the pointer (as a left click would) and opens the
// node's pop-up 200 ms later, so the panel of the node is shown before its pop-up.
class TreeViewController : public QObject {
    Q_OBJECT
public:
    using KeyOf = std::function<QString(const QModelIndex&)>;
    using NodeClick = std::function<void(const QString& key)>;

    // keyOf gives the node key of a view index; nodeClick is the window's click path (it shows the
    // node's panel) called once the press has selected a node.
    TreeViewController(QTreeView* view, Configuration& config, NodePanels& panels, NodePopup& popup,
                       KeyOf keyOf, NodeClick nodeClick);

    static constexpr int RightClickDelayMs = 200;
    QTimer* tmrBoutonDroit() { return &m_timer; }
    bool rightClickPending() const { return m_rightClickPending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString selectedKey() const;
    bool onRightPress(const QPoint& pos, const QPoint& globalPos);
    void onTimer();

    QTreeView* m_view;
    Configuration& m_config;
    NodePanels& m_panels;
    NodePopup& m_popup;
    KeyOf m_keyOf;
    NodeClick m_nodeClick;
    QTimer m_timer;
    QPoint m_popupPos;
    bool m_rightClickPending = false;
};
