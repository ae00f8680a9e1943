#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class Translation;

// The line table of servers of generation 900: one record per called or calling number.

inline constexpr int lineCapacity = 5000;
// The grid always shows at least this many lines; the extra ones are empty records.
inline constexpr int minimumGridLines = 25;
// Section of the translation file holding the window's captions.
inline constexpr char kLinesSection[] = "frmVoies900";

struct LineRecord {
    QString cli;
    QString ddi;
    QString code;
    qint16 app = 0; // application when open, 0 = none
    QString appName;
    qint16 appKO = 0; // application when closed, 0 = none
    QString appKOName;
    QString trfOK; // transfer number when open, used instead of app when not empty
    QString trfKO;
    qint16 planing = 0; // 0 = none, k = planning k-1 of the planning table
    QString planningName;
    qint16 VP = 0; // 0 = none, else 1..8 (one more than the server's file)
    qint16 trace = 0;
    QString libelle;

    // Lines without a number, a code or a planning are not written to any file.
    bool isBlank() const { return cli.isEmpty() && ddi.isEmpty() && code.isEmpty() && planing == 0; }
    bool operator==(const LineRecord&) const = default;
};

// Applications 451 to 455 are the auto-attendant's, the only ones this table assigns.
bool isAutoAttendantApplication(int code);
// Lines of another application, or that transfer to a number when open, may not be changed here.
bool isGreyed(const LineRecord& record);

// Lines 1..lineCount(); every line past lineCount() is an empty record.
class LineTable {
public:
    int lineCount() const { return int(m_records.size()); }
    // 1-based, 1..lineCount().
    LineRecord& line(int i) { return m_records[std::size_t(i - 1)]; }
    const LineRecord& line(int i) const { return m_records[std::size_t(i - 1)]; }
    bool hasLine(int i) const { return i >= 1 && i <= lineCount(); }

    void clear() { m_records.clear(); }
    // False, and nothing added, once lineCapacity lines are held.
    bool append(const LineRecord& record);
    // Grows with empty records (or shrinks) to count lines, at most lineCapacity.
    void setLineCount(int count);
    void removeAt(int i) { m_records.erase(m_records.begin() + (i - 1)); }
    void insertEmptyAt(int i) { m_records.insert(m_records.begin() + (i - 1), LineRecord{}); }

    bool operator==(const LineTable&) const = default;

private:
    std::vector<LineRecord> m_records;
};

// One line of "rcm.txt": a station the pickers offer.
struct StationEntry {
    QString number;
    QString name;
    qint16 group = 0;
    qint32 kind = 0;
    bool operator==(const StationEntry&) const = default;
};

// "planning.cfg": 256 bytes, then 10 plannings of a 32-byte name and 96 more bytes.
class PlanningTable {
public:
    static constexpr int kSize = 1536;
    static constexpr int kCount = 10;

    // Missing bytes of a short record read as zero; bytes past the record are ignored.
    static PlanningTable fromBytes(const QByteArray& bytes);

    // Planning number 0..9: its name cut at the first NUL, else trimmed of spaces.
    QString name(int number) const;
    // The name of a planing value 1..10; "" for any other value.
    QString planningName(int planing) const;

private:
    std::array<QString, kCount> m_names;
};

// One application of the server (codes below 490).
struct ApplicationEntry {
    int code = 0;
    QString name; // display name
    QString secondCode;
    QString fourthField;
    bool operator==(const ApplicationEntry&) const = default;
};

// Every application of the server, in the server's order.
class ApplicationDirectory {
public:
    ApplicationDirectory() = default;
    explicit ApplicationDirectory(QList<ApplicationEntry> all) : m_all(std::move(all)) {}

    const QList<ApplicationEntry>& all() const { return m_all; }
    void add(const ApplicationEntry& entry) { m_all.append(entry); }
    void clear() { m_all.clear(); }

    // Display name of the first application with this code; "" for 0 (none) or an unknown code.
    QString applicationName(int code) const;
    // The applications a line may be given: the auto-attendant's, in order.
    QList<ApplicationEntry> choosable() const;
    // The first choosable application whose display name is exactly name; nullptr when none.
    const ApplicationEntry* choosableByName(const QString& name) const;

private:
    QList<ApplicationEntry> m_all;
};

// The planning list: "" (none) then the 10 names, so that an index is a planing value.
QStringList planningChoices(const PlanningTable& plannings);

// One item of a station picker: the text put in the cell editor when chosen (an application's name, a
// station's number), what the list shows (code or number, name, kind) and its kind of item.
struct LinePickerItem {
    QString value;
    QString text;
    QString name;
    QString kind;
    bool application = false;
    bool operator==(const LinePickerItem&) const = default;
};
// The choosable applications first when withApplications (columns of destinations), then the stations.
QList<LinePickerItem> pickerItems(const QList<ApplicationEntry>& choosable,
                                  const QList<StationEntry>& stations, bool withApplications);

// What names the numbers of a line: plannings, applications and trace captions.
struct LineNames {
    PlanningTable plannings;
    ApplicationDirectory applications;
    std::array<QString, 4> traceNames;
};

// Labels "Trace_0".."Trace_3" of the window's section.
std::array<QString, 4> readTraceNames(const Translation& translation);
// Labels "Grille_1".."Grille_9": the titles of the grid's columns 1 to 9.
std::array<QString, 9> gridTitles(const Translation& translation);

// The texts of one grid row, columns 1 to 9 (texts[0] is column 1), and whether it is greyed.
struct LineGridRow {
    std::array<QString, 9> texts;
    bool greyed = false;
    bool transferred = false; // greyed by its transfer when open only, which Delete takes back
};
// Line i (1..lineCount()) as the grid shows it.
LineGridRow gridRow(const LineTable& table, const LineNames& names, int i);
// The grid shows at least minimumGridLines lines: the table grows to that many before it is shown.
void prepareGrid(LineTable& table);
