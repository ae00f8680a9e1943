#include "editor/diagnostics_view_model.h"

#include "core/diagnostics_list.h"
#include "editor/node_icons.h"

#include <QColor>

DiagnosticsViewModel::DiagnosticsViewModel(DiagnosticsList& list, const NodeIcons& icons, QObject* parent)
    : QIdentityProxyModel(parent), m_list(list), m_icons(icons) {
    setSourceModel(&list);
}

QVariant DiagnosticsViewModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= m_list.entries().size()) return {};
    const DiagnosticEntry& e = m_list.entries().at(row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return e.text;
    case Qt::DecorationRole:
        return m_icons.icon(e.image);
    case Qt::ForegroundRole:
        return QColor(e.red, e.green, e.blue);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
