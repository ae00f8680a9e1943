#pragma once

#include "lines/application_table.h"
#include "lines/lines500_csv.h"
#include "lines/record_codec.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct AppContext;

// One row of the generation-500 line grid. Row k (0-based here) shows line record k, grid row k + 1.
struct LineRow500 {
    QString first;       // first number of the range
    QString last;        // last number
    QString code;        // application code as 3 digits, "" for none
    QString name;        // application display name, "" for none
    bool greyed = false; // an application other than the auto-attendant's: not editable

    // Text of the application column: code, three spaces, name ("" without application).
    QString applicationText() const;
};

// Characters a number may hold besides digits.
inline const QString LineNumberExtras = QStringLiteral("ABCD*#x");

// The line table of generation-500 servers, without widgets: read and write through the gateway's
// information requests, editing rules, CSV export and import, and the server reset of the lines.
class Lines500 {
public:
    using Progress = std::function<void(int read, int total)>;

    explicit Lines500(AppContext& ctx);

    // Reads the general record (101) and the line records (103, pages of 96), then resolves the
    // application names (cache, then request 5). A failed request or refused reply ends it: false, and
    // nothing can be written until a read succeeds.
    bool read(const Progress& progress = {});
    bool isRead() const { return read_; }

    // The choosable applications (451 to 455), read from the server's application table; false when the
    // table could not be read whole (the list keeps what was read).
    bool loadChoosableApplications();
    const QList<ApplicationItem>& choices() const { return choices_; }
    // Combo item of a choosable application: code (last 5 characters), three spaces, name.
    static QString choiceItem(const ApplicationItem& app);

    const QList<LineRow500>& rows() const { return rows_; }
    int lineCount() const { return int(records_.size()); }
    const ParVoieT2c& general() const { return t2c_; }
    const QList<VoieT2cs>& records() const { return records_; }

    // Edits of row `line`, refused (false, nothing changed) on a greyed row or a row out of range.
    // Numbers (column 1 = first, 2 = last) are trimmed; an empty one is accepted, another must pass the
    // number test with LineNumberExtras.
    bool setNumber(int line, int column, const QString& text);
    // nullptr clears the application.
    bool setApplication(int line, const ApplicationItem* app);
    // Delete on a cell: column 1 or 2 empties the number, 3 clears the application.
    bool clear(int line, int column);

    // Writes the rows back: 102 in pages of 96, then 100 with the general record. Stops at the first
    // request that fails or whose reply's status is not 0. "" when everything was written, else the user's
    // message: why, and whether the server already holds part of the lines.
    QString write();
    // The rows differ from what the server last held (read or written).
    bool isModified() const { return read_ && recordsFromRows() != server_; }

    // Server reset: reads, then rows without application or with an auto-attendant one lose their
    // application and their first number, and everything is written back.
    bool ResetVoies();

    // CSV file: header of the three column titles, then one line per record up to the last one in use
    // (first;last;3-digit code; ";;" for a free record, so that each line keeps its index), CR LF, system
    // ANSI code page.
    QByteArray exportCsvBytes() const;
    // What a CSV file would make of the rows as they stand (see readCsv500; greyed rows are
    // protected); nothing changes.
    Import500 previewCsv(const QByteArray& content) const;
    // Takes the records of an import read from these rows (a refused one changes nothing) and rebuilds the
    // rows; names are looked up with request 1. The server is not written.
    void applyImport(const Import500& import);
    // Both at once, for callers that need no preview.
    CsvReport importCsvBytes(const QByteArray& content);

private:
    // The rows as line records (texts and application code; other bytes as read).
    QList<VoieT2cs> recordsFromRows() const;
    // Rebuilds the rows from the records; false when a name could not be read.
    bool buildRows(bool nameOnly);
    // Display name of an application, through the cache; nothing when request 5 failed.
    std::optional<QString> lookUpName(int code, bool nameOnly);
    bool isEditable(int line) const;
    // The user's message for a write reply (nothing when the request failed), "" when it was taken;
    // written records were already taken before it.
    QString writeRefusal(const std::optional<QByteArrayView>& reply, int written);

    AppContext& ctx_;
    bool read_ = false;
    ParVoieT2c t2c_;
    QList<VoieT2cs> records_;
    QList<VoieT2cs> server_; // the records as the server last held them
    QList<LineRow500> rows_;
    QHash<int, QString> lstDATAServeur_; // names of the applications already looked up, raw
    QList<ApplicationItem> choices_;
};
