#pragma once

#include "lines/line_table.h"

#include <QAbstractTableModel>
#include <QColor>
#include <utility>
#include <vector>

// What the grid `Grille` shows: column 0 the line number, columns 1 to 9 the texts of each line. It holds
// the texts as last filled, so painting never reaches into the line table.
class LineGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 10;
    // Back colour of greyed cells (&HE0E0E0) and of a number cell chosen from the diagnostics (&H8080FF).
    static QColor greyedColour() { return QColor(224, 224, 224); }
    static QColor highlightColour() { return QColor(255, 128, 128); }

    explicit LineGridModel(QObject* parent = nullptr);

    void setTitles(const std::array<QString, 9>& titles);
    // A whole fill: begin, one setRow per line 1..count, end. Views see nothing until the end.
    void beginFill(int count);
    void setRow(int line, LineGridRow row);
    void endFill();
    // One line shown again after an edit.
    void updateRow(int line, LineGridRow row);
    // Appends an empty line at the end.
    void appendRow();

    // Line whose number cell is highlighted, 0 for none.
    void setHighlightedLine(int line);
    int highlightedLine() const { return m_highlighted; }
    // The normal back colour of the number cells.
    void setNumberColour(const QColor& colour) { m_numberColour = colour; }
    // Why a greyed row cannot be edited: another application's line, a line transferred when open.
    void setGreyedTips(const QString& otherApplication, const QString& transferred) {
        m_greyedTips = {otherApplication, transferred};
    }
    bool isGreyed(int line) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<LineGridRow> m_rows; // index 0 holds line 1
    std::array<QString, 9> m_titles;
    QColor m_numberColour;
    std::array<QString, 2> m_greyedTips;
    int m_highlighted = 0;
    bool m_filling = false;
};
