#include "core/diagnostics_list.h"

#include "core/translation.h"

DiagnosticsList::DiagnosticsList(QObject* parent) : QAbstractListModel(parent) {}

DiagnosticEntry DiagnosticsList::styleFor(short level) {
    DiagnosticEntry e;
    e.level = level;
    switch (level) {
    case Warning:
        e.image = QStringLiteral("Warning");
        e.red = 204;
        e.green = 95;
        break;
    case Error:
        e.image = QStringLiteral("Erreur");
        e.red = 173;
        break;
    case Ok:
        e.image = QStringLiteral("Ok");
        e.red = 27;
        e.green = 97;
        break;
    default:
        e.image = QStringLiteral("Info");
        break;
    }
    return e;
}

void DiagnosticsList::AjouteInfo(const QString& message, short level, const QString& tag) {
    if (m_silent) return;
    DiagnosticEntry e = styleFor(level);
    const QTime now = m_clock ? m_clock() : QTime::currentTime();
    e.text = now.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" - ") + message;
    e.message = message;
    e.tag = tag;
    const int row = int(m_entries.size());
    beginInsertRows({}, row, row);
    m_entries.append(e);
    endInsertRows();
}

void DiagnosticsList::InitDebug(const Translation& translation) {
    clear();
    AjouteInfo(translation.getLabel(QStringLiteral("DebugReady")), Ok, QString());
}

void DiagnosticsList::clear() {
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

int DiagnosticsList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DiagnosticsList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= m_entries.size()) return {};
    const DiagnosticEntry& e = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return e.text;
    case ImageRole:
        return e.image;
    case TagRole:
        return e.tag;
    case LevelRole:
        return int(e.level);
    case RgbRole:
        return (e.red << 16) | (e.green << 8) | e.blue;
    case MessageRole:
        return e.message;
    default:
        return {};
    }
}
