#include "lines/lines500.h"

#include "core/app_context.h"
#include "lines/ihm_exchange.h"
#include "lines/lines500_csv.h"
#include "model/verification.h"
#include "platform/codepage.h"
#include "server/server_transfers.h"

#include <QStringList>

namespace {

const QString kApplicationNamesSection = QStringLiteral("VOIES");
// The table as the history keeps it: the CSV of the window.
const QString kHistoryName = QStringLiteral("lines500.csv");

} // namespace

QString LineRow500::applicationText() const {
    return code.isEmpty() ? QString() : code + QStringLiteral("   ") + name;
}

Lines500::Lines500(AppContext& ctx) : ctx_(ctx) {}

bool Lines500::read(const Progress& progress) {
    read_ = false;
    rows_.clear();
    records_.clear();

    QByteArray block;
    requestReadGeneral(block);
    std::optional<QByteArrayView> reply = sendIhmRequest(ctx_, block);
    if (!reply || Rd_Par_voie_T2c(*reply, t2c_) != ReplyError::NoError) return false;
    const int total = t2c_.lineCount();
    records_ = QList<VoieT2cs>(total); // every record free until read

    for (int first = 0; first < total; first += MaxLinesPerPage) {
        const int count = qMin(MaxLinesPerPage, total - first);
        requestReadLines(block, first, count);
        reply = sendIhmRequest(ctx_, block);
        ReplyPage page;
        if (!reply || Rd_Par_voie_T2cs(*reply, records_, page) != ReplyError::NoError) return false;
        if (progress) progress(first + count, total);
    }
    if (!buildRows(false)) return false;
    server_ = records_;
    read_ = true;
    server_transfers::recordTransfer(ctx_, QStringLiteral("lines"), {{kHistoryName, exportCsvBytes()}},
                                     false);
    return true;
}

bool Lines500::loadChoosableApplications() {
    const ApplicationLoad table = loadApplications(ctx_);
    choices_.clear();
    for (const ApplicationRecord& e : table.records) {
        if (!isAttendantApp(codeValue(e.code))) continue;
        // Here the name is always a key of section "VOIES", whatever its first character.
        choices_.append({e.code.right(5),
                         ctx_.translation.getLabel(kApplicationNamesSection, e.name.mid(1).trimmed()),
                         e.code2, e.field4});
    }
    return table.ok;
}

QString Lines500::choiceItem(const ApplicationItem& app) {
    return app.code + QStringLiteral("   ") + app.name;
}

std::optional<QString> Lines500::lookUpName(int code, bool nameOnly) {
    auto it = lstDATAServeur_.constFind(code);
    if (it == lstDATAServeur_.constEnd()) {
        QString name;
        if (nameOnly) {
            name = readApplicationName(ctx_, code);
        } else {
            const std::optional<ApplicationRecord> app = readApplication(ctx_, code);
            if (!app) return std::nullopt;
            name = app->name;
        }
        it = lstDATAServeur_.insert(code, name);
    }
    return displayName(ctx_.translation, *it);
}

bool Lines500::buildRows(bool nameOnly) {
    rows_.clear();
    rows_.reserve(records_.size());
    for (const VoieT2cs& v : records_) {
        LineRow500 l;
        l.first = v.firstText();
        l.last = v.lastText();
        l.code = code3(v.application);
        if (v.application != VoieT2cs::Unset) {
            const std::optional<QString> name = lookUpName(v.application, nameOnly);
            if (!name) return false;
            l.name = *name;
            l.greyed = !isAttendantApp(v.application);
        }
        rows_.append(l);
    }
    return true;
}

bool Lines500::isEditable(int line) const {
    return line >= 0 && line < rows_.size() && !rows_[line].greyed;
}

bool Lines500::setNumber(int line, int column, const QString& text) {
    if (!isEditable(line) || (column != 1 && column != 2)) return false;
    const QString t = text.trimmed();
    if (!t.isEmpty() && !isNumberField(t, LineNumberExtras)) return false;
    (column == 1 ? rows_[line].first : rows_[line].last) = t;
    return true;
}

bool Lines500::setApplication(int line, const ApplicationItem* app) {
    if (!isEditable(line)) return false;
    LineRow500& l = rows_[line];
    l.code = app ? QStringLiteral("%1").arg(codeValue(app->code), 3, 10, QLatin1Char('0')) : QString();
    l.name = app ? app->name.trimmed() : QString();
    return true;
}

bool Lines500::clear(int line, int column) {
    if (column == 3) return setApplication(line, nullptr);
    return setNumber(line, column, QString());
}

QList<VoieT2cs> Lines500::recordsFromRows() const {
    QList<VoieT2cs> records = records_;
    for (qsizetype k = 0; k < records.size() && k < rows_.size(); ++k) {
        records[k].setFirst(rows_[k].first.trimmed());
        records[k].setLast(rows_[k].last.trimmed());
        records[k].application = codeFromText(rows_[k].code);
    }
    return records;
}

QString Lines500::writeRefusal(const std::optional<QByteArrayView>& reply, int written) {
    QString reason;
    if (!reply)
        reason = server_transfers::lastReason(ctx_);
    else if (reply->size() < Block::HeaderSize)
        reason = ctx_.getLabel(QStringLiteral("RaisonIncomplet"));
    else if (const quint32 status = readU32(*reply, Block::Status); status != 0)
        reason = ctx_.getLabel(QStringLiteral("RaisonStatutVoies"))
                     .replace(QStringLiteral("$STATUT$"), QString::number(status));
    else
        return {};
    QString message =
        ctx_.getLabel(QStringLiteral("ErrEcritureVoies")).replace(QStringLiteral("$RAISON$"), reason);
    // Pages already taken, or every page but not the general record: the server holds a mix.
    if (written > 0)
        message +=
            QLatin1Char('\n') + ctx_.getLabel(QStringLiteral("ErrEcritureVoiesPartielle"))
                                    .replace(QStringLiteral("$NOMBRE$"), QString::number(written))
                                    .replace(QStringLiteral("$TOTAL$"), QString::number(records_.size()));
    return message;
}

QString Lines500::write() {
    if (!read_)
        return ctx_.getLabel(QStringLiteral("ErrEcritureVoies"))
            .replace(QStringLiteral("$RAISON$"), QString());
    const QList<VoieT2cs> records = recordsFromRows();
    QByteArray block;
    const int total = int(records.size());
    for (int first = 0; first < total; first += MaxLinesPerPage) {
        requestWriteLines(block, records, first, qMin(MaxLinesPerPage, total - first));
        if (QString refus = writeRefusal(sendIhmRequest(ctx_, block), first); !refus.isEmpty()) return refus;
    }
    requestWriteGeneral(block, t2c_);
    if (QString refus = writeRefusal(sendIhmRequest(ctx_, block), total); !refus.isEmpty()) return refus;
    records_ = records;
    server_ = records;
    server_transfers::recordTransfer(ctx_, QStringLiteral("lines"), {{kHistoryName, exportCsvBytes()}}, true);
    return {};
}

bool Lines500::ResetVoies() {
    if (!read()) return false;
    for (LineRow500& l : rows_) {
        if (!l.code.isEmpty() && !isAttendantApp(codeValue(l.code))) continue;
        l.code.clear();
        l.name.clear();
        l.first.clear();
    }
    return write().isEmpty();
}

QByteArray Lines500::exportCsvBytes() const {
    const QStringList titles = {ctx_.getLabel(QStringLiteral("VoiesDeb")).trimmed(),
                                ctx_.getLabel(QStringLiteral("VoiesFin")).trimmed(),
                                ctx_.getLabel(QStringLiteral("VoiesApp")).trimmed()};
    QString text = titles.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    // A line is in use as the grid shows it, edits included.
    const QList<VoieT2cs> records = recordsFromRows();
    qsizetype end = qMin(records.size(), rows_.size());
    while (end > 0 && !records[end - 1].isInUse())
        --end;
    for (qsizetype k = 0; k < end; ++k) {
        const LineRow500& l = rows_[k];
        text += QStringList{l.first.trimmed(), l.last.trimmed(), l.applicationText().left(3).trimmed()}.join(
                    QLatin1Char(';')) +
                QStringLiteral("\r\n");
    }
    return platform::encodeAnsi(text);
}

Import500 Lines500::previewCsv(const QByteArray& content) const {
    QList<bool> greyedRows;
    for (const LineRow500& l : rows_)
        greyedRows << l.greyed;
    return readCsv500(content, recordsFromRows(), greyedRows);
}

void Lines500::applyImport(const Import500& import) {
    if (import.report.refused || import.records.size() != records_.size()) return;
    records_ = import.records;
    buildRows(true);
}

CsvReport Lines500::importCsvBytes(const QByteArray& content) {
    const Import500 import = previewCsv(content);
    applyImport(import);
    return import.report;
}
