#include "editor/node_popup.h"

#include "core/app_context.h"
#include "editor/node_panels.h"
#include "editor/panel_host.h"
#include "model/configuration.h"

#include <QMenu>

namespace {

// Action type (row of ActionTypes, from 0) of each of mnuAction1..mnuAction7.
constexpr std::array<int, 7> ActionRows = {1, 2, 3, 4, 5, 7, 8};
constexpr std::array<const char*, 7> ActionLabels = {"actSaut", "actTransfert", "actAnn", "actStd",
                                                     "actNum",  "actBvn",       "actBvo"};

QAction* item(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* separator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

NodePopup::NodePopup(NodePanels& panels, Configuration& config, const AppContext& ctx, QWidget* parent)
    : QObject(parent), m_panels(panels), m_config(config), m_ctx(ctx),
      m_menuAdd(ctx.getLabel(QStringLiteral("MenuAdd"))),
      m_menuChange(ctx.getLabel(QStringLiteral("MenuChange"))) {
    setObjectName(QStringLiteral("frmMenu"));
    Menu = new QMenu(parent); // owned by the window
    Menu->setObjectName(QStringLiteral("Menu"));
    for (size_t i = 0; i < mnuAction.size(); ++i) {
        const QString name = QStringLiteral("mnuAction") + QString::number(i + 1);
        mnuAction[i] =
            item(Menu, name.toLatin1().constData(), ctx.getLabel(QString::fromLatin1(ActionLabels[i])));
        const int row = ActionRows[i];
        connect(mnuAction[i], &QAction::triggered, this, [this, row] { m_panels.chooseKeyType(row); });
    }
    mnuVide2 = separator(Menu, "mnuVide2");
    mnuAddMenu = item(Menu, "mnuAddMenu", m_menuAdd);
    mnuVide = separator(Menu, "mnuVide");
    mnuDelete = item(Menu, "mnuDelete", ctx.getLabel(QStringLiteral("MenuDel")));
    connect(mnuAddMenu, &QAction::triggered, this, [this] { onAddMenu(); });
    connect(mnuDelete, &QAction::triggered, this, [this] { onDelete(); });

    MenuDebug = new QMenu(parent);
    MenuDebug->setObjectName(QStringLiteral("MenuDebug"));
    mnuEffaceListe = item(MenuDebug, "mnuEffaceListe", ctx.getLabel(QStringLiteral("MenuEffaceDebug")));
    connect(mnuEffaceListe, &QAction::triggered, this, &NodePopup::clearListRequested);
}

NodePopup::~NodePopup() = default;

bool NodePopup::prepareMenu(const QString& key) {
    for (QAction* a : mnuAction)
        a->setVisible(false);
    mnuVide2->setVisible(false);
    if (key.startsWith(QLatin1Char('A'))) {
        const int id = m_config.nodes.find(key);
        if (id < 0 || !m_config.nodes.node(id).children.empty()) return false;
        mnuAddMenu->setText(m_menuAdd);
        mnuAddMenu->setVisible(true);
        mnuVide->setVisible(false);
        mnuDelete->setVisible(false);
        return true;
    }
    if (key.startsWith(QLatin1Char('E'))) {
        mnuVide2->setVisible(true);
        for (size_t i = 0; i < mnuAction.size(); ++i)
            mnuAction[i]->setVisible(i < 5 || m_ctx.VERSION_500);
        mnuAddMenu->setText(m_menuChange);
        mnuAddMenu->setVisible(true);
        mnuVide->setVisible(false);
        mnuDelete->setVisible(false);
        return true;
    }
    if (key.startsWith(QLatin1Char('M'))) {
        mnuAddMenu->setVisible(false);
        mnuVide->setVisible(false);
        mnuDelete->setVisible(true);
        return true;
    }
    return false;
}

void NodePopup::afficheMenu(const QString& key, const QPoint& globalPos) {
    if (prepareMenu(key)) Menu->popup(globalPos);
}

void NodePopup::onAddMenu() {
    const DisplayState& state = m_panels.display();
    m_panels.AddMenu(state.currentNodeKey, state.currentKeyDigit);
}

void NodePopup::onDelete() {
    m_panels.deleteMenu(m_panels.display().currentNodeKey);
}
