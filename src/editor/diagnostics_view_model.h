#pragma once

#include <QIdentityProxyModel>

class DiagnosticsList;
class NodeIcons;

// Adds the pictures and text colours of the diagnostics list for the list view (the list itself is a
// model without widgets).
class DiagnosticsViewModel final : public QIdentityProxyModel {
    Q_OBJECT
public:
    DiagnosticsViewModel(DiagnosticsList& list, const NodeIcons& icons, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    DiagnosticsList& m_list;
    const NodeIcons& m_icons;
};
