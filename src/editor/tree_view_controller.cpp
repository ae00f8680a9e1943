#include "editor/tree_view_controller.h"

#include "editor/node_panels.h"
#include "editor/node_popup.h"
#include "model/configuration.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

TreeViewController::TreeViewController(QTreeView* view, Configuration& config, NodePanels& panels,
                                       NodePopup& popup, KeyOf keyOf, NodeClick nodeClick)
    : QObject(view), m_view(view), m_config(config), m_panels(panels), m_popup(popup),
      m_keyOf(std::move(keyOf)), m_nodeClick(std::move(nodeClick)) {
    m_timer.setParent(this); // found by name among the view's children
    m_timer.setObjectName(QStringLiteral("tmrBoutonDroit"));
    m_timer.setInterval(RightClickDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { onTimer(); });
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

QString TreeViewController::selectedKey() const {
    const QModelIndex index = m_view->currentIndex();
    return index.isValid() ? m_keyOf(index) : QString();
}

bool TreeViewController::eventFilter(QObject* watched, QEvent* event) {
    // A disabled view (no tree open) takes no key and no press, as Qt's own widgets do.
    if (!m_view->isEnabled()) return QObject::eventFilter(watched, event);
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        const QString key = selectedKey();
        if (!key.isEmpty()) m_panels.deleteKeyPressed(key);
        return true;
    }
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            return onRightPress(mouse->position().toPoint(), mouse->globalPosition().toPoint());
    }
    return QObject::eventFilter(watched, event);
}

bool TreeViewController::onRightPress(const QPoint& pos, const QPoint& globalPos) {
    m_rightClickPending = true;
    m_popupPos = globalPos;
    const QModelIndex index = m_view->indexAt(pos);
    if (index.isValid()) { // the press selects the node as a left click would
        m_view->setCurrentIndex(index);
        if (m_nodeClick) m_nodeClick(m_keyOf(index));
    }
    if (m_view->currentIndex().isValid())
        m_timer.start();
    else
        m_rightClickPending = false;
    return true;
}

void TreeViewController::onTimer() {
    m_timer.stop();
    m_rightClickPending = false;
    const QString key = selectedKey();
    const TreeNode* node = m_config.nodes.nodeByKey(key);
    if (!node || node->colour == NodeColour::Grey) return;
    m_popup.afficheMenu(key, m_popupPos);
}
