#pragma once

#include "core/diagnostics_sink.h"

#include <QAbstractListModel>
#include <QList>
#include <QTime>
#include <functional>

class Translation;

// One line of the diagnostics list.
struct DiagnosticEntry {
    QString text;  // "hh:mm:ss - " + message
    QString image; // "Warning", "Erreur", "Ok" or "Info"
    int red = 0, green = 0, blue = 0;
    QString tag; // node key the entry refers to, or ""
    short level = 0;
    QString message; // the message alone, without the time stamp
};

// The diagnostics list of the main window, as a model without widgets. The window shows it with icons
// and colours; the headless tools print it.
class DiagnosticsList : public QAbstractListModel, public DiagnosticsSink {
    Q_OBJECT
public:
    enum Roles { ImageRole = Qt::UserRole + 1, TagRole, LevelRole, RgbRole, MessageRole };

    explicit DiagnosticsList(QObject* parent = nullptr);

    // Adds an entry (nothing while silenced). Levels other than 1, 2, 3 read as "Info".
    void AjouteInfo(const QString& message, short level, const QString& tag) override;
    // Empties the list, then adds the "DebugReady" label at level 3.
    void InitDebug(const Translation& translation);
    void clear();

    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }

    // Tests fix the clock.
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }

    const QList<DiagnosticEntry>& entries() const { return m_entries; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Image name and RGB colour of a level.
    static DiagnosticEntry styleFor(short level);

private:
    QList<DiagnosticEntry> m_entries;
    bool m_silent = false;
    std::function<QTime()> m_clock;
};
