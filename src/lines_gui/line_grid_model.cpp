#include "lines_gui/line_grid_model.h"

LineGridModel::LineGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void LineGridModel::setTitles(const std::array<QString, 9>& titles) {
    m_titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void LineGridModel::beginFill(int count) {
    beginResetModel();
    m_filling = true;
    m_rows.assign(std::size_t(qMax(0, count)), LineGridRow{});
}

void LineGridModel::setRow(int line, LineGridRow row) {
    if (line >= 1 && line <= int(m_rows.size())) m_rows[std::size_t(line - 1)] = std::move(row);
}

void LineGridModel::endFill() {
    m_filling = false;
    endResetModel();
}

void LineGridModel::updateRow(int line, LineGridRow row) {
    if (line < 1 || line > int(m_rows.size())) return;
    m_rows[std::size_t(line - 1)] = std::move(row);
    emit dataChanged(index(line - 1, 0), index(line - 1, kColumns - 1));
}

void LineGridModel::appendRow() {
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.emplace_back();
    endInsertRows();
}

void LineGridModel::setHighlightedLine(int line) {
    const int old = std::exchange(m_highlighted, line);
    for (int l : {old, line})
        if (l >= 1 && l <= int(m_rows.size())) emit dataChanged(index(l - 1, 0), index(l - 1, 0));
}

bool LineGridModel::isGreyed(int line) const {
    return line >= 1 && line <= int(m_rows.size()) && m_rows[std::size_t(line - 1)].greyed;
}

int LineGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_filling ? 0 : int(m_rows.size());
}

int LineGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant LineGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size())) return {};
    const int line = index.row() + 1;
    const int column = index.column();
    const LineGridRow& row = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return column == 0 ? QString::number(line) : row.texts[std::size_t(column - 1)];
    case Qt::TextAlignmentRole:
        // Labels read from the left; numbers and names are centred.
        return QVariant::fromValue(column == 8 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    case Qt::ToolTipRole: {
        // The whole text of a cell too narrow for it, and why a greyed row is locked.
        const QString text = column == 0 ? QString() : row.texts[std::size_t(column - 1)];
        if (!row.greyed) return text.isEmpty() ? QVariant() : text;
        const QString& why = m_greyedTips[row.transferred ? 1 : 0];
        return text.isEmpty() ? why : text + QLatin1Char('\n') + why;
    }
    case Qt::BackgroundRole:
        if (column == 0) return line == m_highlighted ? highlightColour() : m_numberColour;
        if (row.greyed) return greyedColour();
        return {};
    default:
        return {};
    }
}

QVariant LineGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) return section == 0 ? QString() : m_titles[std::size_t(section - 1)];
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags LineGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
