#include "lines/record_codec.h"

#include "platform/codepage.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kFF = char(0xFF);

bool inBounds(qsizetype size, qsizetype offset, qsizetype length) {
    return offset >= 0 && offset <= size - length;
}

void readField(const char* src, std::array<char, VoieT2cs::NumberSize>& dst) {
    std::memcpy(dst.data(), src, dst.size());
}

// Field [offset, offset + length) of a block as server characters; the block is known to hold it.
QString fieldText(QByteArrayView bytes, qsizetype offset, int length) {
    return conv_wexa_string(bytes.sliced(offset, length));
}

void writeText(QByteArray& block, qsizetype offset, int length, const QString& text) {
    if (!inBounds(block.size(), offset, length)) return;
    conv_string_wexa(text, block.data() + offset, length);
}

void header(QByteArray& block, quint32 code) {
    Clear_Bloc_Entete(block);
    writeU32(block, Block::Code, code);
}

void packRecord(char* dst, const VoieT2cs& v) {
    std::memcpy(dst, v.first.data(), VoieT2cs::NumberSize);
    std::memcpy(dst + 20, v.last.data(), VoieT2cs::NumberSize);
    qToLittleEndian<quint16>(v.application, dst + 40);
    qToLittleEndian<quint16>(v.code2, dst + 42);
    qToLittleEndian<quint16>(v.code3, dst + 44);
    std::memcpy(dst + 46, v.rest.data(), v.rest.size());
}

void unpackRecord(const char* src, VoieT2cs& v) {
    readField(src, v.first);
    readField(src + 20, v.last);
    v.application = qFromLittleEndian<quint16>(src + 40);
    v.code2 = qFromLittleEndian<quint16>(src + 42);
    v.code3 = qFromLittleEndian<quint16>(src + 44);
    std::memcpy(v.rest.data(), src + 46, v.rest.size());
}

// Header checks shared by every reply.
ReplyError checkHeader(QByteArrayView reply) {
    if (reply.size() < Block::HeaderSize) return ReplyError::TooShort;
    if (readU32(reply, Block::Status) != 0) return ReplyError::Status;
    return ReplyError::NoError;
}

} // namespace

quint32 readU32(QByteArrayView bytes, qsizetype offset) {
    if (!inBounds(bytes.size(), offset, 4)) return 0;
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

quint16 readU16(QByteArrayView bytes, qsizetype offset) {
    if (!inBounds(bytes.size(), offset, 2)) return 0;
    return qFromLittleEndian<quint16>(bytes.data() + offset);
}

void writeU32(QByteArray& bytes, qsizetype offset, quint32 value) {
    if (inBounds(bytes.size(), offset, 4)) qToLittleEndian<quint32>(value, bytes.data() + offset);
}

void writeU16(QByteArray& bytes, qsizetype offset, quint16 value) {
    if (inBounds(bytes.size(), offset, 2)) qToLittleEndian<quint16>(value, bytes.data() + offset);
}

void Clear_Bloc_Entete(QByteArray& block) {
    block.resize(Block::Size, '\0');
    std::fill_n(block.data(), Block::HeaderSize, '\0');
}

void Clear_Bloc_Data(QByteArray& block) {
    block.resize(Block::Size, '\0');
    std::fill(block.data() + Block::DataStart, block.data() + block.size(), '\0');
}

QString conv_wexa_string(QByteArrayView field) {
    const char* start = field.data();
    const char* end = std::find_if(start, start + field.size(), [](char c) { return c == '\0' || c == kFF; });
    return platform::decodeAnsi(QByteArray(start, end - start));
}

void conv_string_wexa(const QString& text, char* field, int length) {
    if (length <= 0) return;
    if (text.isEmpty()) {
        std::fill_n(field, length, kFF);
        return;
    }
    const QByteArray bytes = platform::encodeAnsi(text);
    const int n = int(std::min<qsizetype>(bytes.size(), length));
    std::memcpy(field, bytes.constData(), n);
    std::fill(field + n, field + length, '\0');
}

int ParVoieT2c::lineCount() const {
    return qFromLittleEndian<quint16>(bytes.data() + LineCountOffset);
}

void ParVoieT2c::setLineCount(int n) {
    qToLittleEndian<quint16>(quint16(std::clamp(n, 0, 0xFFFF)), bytes.data() + LineCountOffset);
}

VoieT2cs::VoieT2cs() {
    first.fill(kFF);
    last.fill(kFF);
    rest.fill(kFF);
}

bool VoieT2cs::isFree() const {
    const auto allFF = [](const auto& a) {
        return std::all_of(a.begin(), a.end(), [](char c) { return c == kFF; });
    };
    return allFF(first) && allFF(last) && application == Unset && code2 == Unset && code3 == Unset;
}

bool VoieT2cs::isInUse() const {
    return first[0] != kFF || last[0] != kFF || application != Unset || code2 != Unset;
}

QString VoieT2cs::firstText() const {
    return conv_wexa_string(QByteArrayView(first.data(), first.size()));
}

QString VoieT2cs::lastText() const {
    return conv_wexa_string(QByteArrayView(last.data(), last.size()));
}

void VoieT2cs::setFirst(const QString& text) {
    conv_string_wexa(text, first.data(), NumberSize);
}

void VoieT2cs::setLast(const QString& text) {
    conv_string_wexa(text, last.data(), NumberSize);
}

void requestApplicationTable(QByteArray& block, int first) {
    header(block, RequestCode::ApplicationTable);
    writeU32(block, Block::Param12, 2);
    writeU32(block, Block::First, quint32(first));
    writeU32(block, Block::Count, MaxApplicationsPerPage);
}

void requestApplicationName(QByteArray& block, int applicationCode) {
    header(block, RequestCode::ApplicationName);
    writeU32(block, Block::Param12, 2);
    writeU32(block, Block::Param16, quint32(applicationCode));
}

void requestApplication(QByteArray& block, int applicationCode) {
    header(block, RequestCode::Application);
    writeU32(block, Block::Param12, 2);
    writeU32(block, Block::Param16, quint32(applicationCode));
}

void requestWriteGeneral(QByteArray& block, const ParVoieT2c& t2c) {
    header(block, RequestCode::WriteGeneral);
    Clear_Bloc_Data(block);
    writeU32(block, Block::Param12, 0);
    writeU32(block, Block::First, 1);
    writeU32(block, Block::Count, 16);
    Wr_Par_voie_T2c(block, t2c);
}

void requestReadGeneral(QByteArray& block) {
    header(block, RequestCode::ReadGeneral);
    writeU32(block, Block::First, 1);
}

void requestWriteLines(QByteArray& block, const QList<VoieT2cs>& records, int first, int count) {
    header(block, RequestCode::WriteLines);
    Clear_Bloc_Data(block);
    writeU32(block, Block::Param12, 1);
    writeU32(block, Block::First, quint32(first));
    writeU32(block, Block::Count, quint32(count));
    Wr_Par_voie_T2cs(block, records, first, count);
}

void requestReadLines(QByteArray& block, int first, int count) {
    header(block, RequestCode::ReadLines);
    writeU32(block, Block::First, quint32(first));
    writeU32(block, Block::Count, quint32(count));
}

void requestReloadLines(QByteArray& block) {
    header(block, RequestCode::ReloadLines);
}

qint16 requestLength(quint32 code) {
    switch (code) {
    case RequestCode::WriteGeneral:
    case RequestCode::WriteLines:
    case RequestCode::ReloadLines:
        return Block::Size;
    default:
        return Block::ShortLength;
    }
}

void Wr_Par_voie_T2c(QByteArray& block, const ParVoieT2c& t2c) {
    if (!inBounds(block.size(), Block::DataStart, ParVoieT2c::Size)) return;
    std::memcpy(block.data() + Block::DataStart, t2c.bytes.data(), ParVoieT2c::Size);
}

void Wr_Par_voie_T2cs(QByteArray& block, const QList<VoieT2cs>& records, int first, int count) {
    for (int i = 0; i < count; ++i) {
        const qsizetype index = qsizetype(first) + i;
        const qsizetype offset = Block::DataStart + qsizetype(i) * VoieT2cs::Size;
        if (index < 0 || index >= records.size() || !inBounds(block.size(), offset, VoieT2cs::Size)) continue;
        packRecord(block.data() + offset, records[index]);
    }
}

void Wr_Application(QByteArray& block, int position, const ApplicationRecord& app) {
    const qsizetype offset = Block::DataStart + qsizetype(position) * ApplicationRecord::Size;
    if (position < 0 || !inBounds(block.size(), offset, ApplicationRecord::Size)) return;
    writeText(block, offset, 6, app.code);
    writeText(block, offset + 6, 16, app.name);
    writeText(block, offset + 36, 6, app.code2);
    writeText(block, offset + 42, 10, app.field4);
}

void writeReplyHeader(QByteArray& block, quint32 status, int first, int last) {
    writeU32(block, Block::Status, status);
    writeU32(block, Block::ReplyFirst, quint32(first));
    writeU32(block, Block::ReplyLast, quint32(last));
}

void writeApplicationName(QByteArray& block, const QString& name) {
    writeText(block, Block::ApplicationName1, 16, name);
}

ReplyError readPage(QByteArrayView reply, int recordSize, int maxRecords, ReplyPage& page) {
    if (const ReplyError e = checkHeader(reply); e != ReplyError::NoError) return e;
    const auto first = qint32(readU32(reply, Block::ReplyFirst));
    const auto last = qint32(readU32(reply, Block::ReplyLast));
    // 64-bit difference: the indexes are whatever the server sent.
    const qint64 count = qint64(last) - qint64(first);
    if (count < 0) return ReplyError::IndexesReversed;
    if (count > maxRecords) return ReplyError::TooManyRecords;
    if (Block::DataStart + count * recordSize > reply.size()) return ReplyError::PastReply;
    page.first = first;
    page.last = last;
    return ReplyError::NoError;
}

ReplyError Rd_Applications(QByteArrayView reply, QList<ApplicationRecord>& apps, ReplyPage& page) {
    ReplyPage read;
    if (const ReplyError e = readPage(reply, ApplicationRecord::Size, MaxApplicationsPerPage, read);
        e != ReplyError::NoError)
        return e;
    page = read;
    for (int k = 0; k < read.count(); ++k) {
        const qsizetype o = Block::DataStart + qsizetype(k) * ApplicationRecord::Size;
        apps.append({fieldText(reply, o, 6), fieldText(reply, o + 6, 16), fieldText(reply, o + 36, 6),
                     fieldText(reply, o + 42, 10)});
    }
    return ReplyError::NoError;
}

ReplyError Rd_Par_voie_T2c(QByteArrayView reply, ParVoieT2c& t2c) {
    if (const ReplyError e = checkHeader(reply); e != ReplyError::NoError) return e;
    if (reply.size() < Block::DataStart + ParVoieT2c::Size) return ReplyError::PastReply;
    std::memcpy(t2c.bytes.data(), reply.data() + Block::DataStart, ParVoieT2c::Size);
    return ReplyError::NoError;
}

ReplyError Rd_Par_voie_T2cs(QByteArrayView reply, QList<VoieT2cs>& records, ReplyPage& page) {
    ReplyPage read;
    if (const ReplyError e = readPage(reply, VoieT2cs::Size, MaxLinesPerPage, read); e != ReplyError::NoError)
        return e;
    if (read.first < 0 || qint64(read.last) > records.size()) return ReplyError::PastTable;
    page = read;
    for (int k = 0; k < read.count(); ++k)
        unpackRecord(reply.data() + Block::DataStart + qsizetype(k) * VoieT2cs::Size,
                     records[read.first + k]);
    return ReplyError::NoError;
}

ReplyError Rd_Application(QByteArrayView reply, ApplicationRecord& app) {
    if (const ReplyError e = checkHeader(reply); e != ReplyError::NoError) return e;
    if (reply.size() < Block::DataStart + 6 + 16) return ReplyError::PastReply;
    app = {fieldText(reply, Block::DataStart, 6), fieldText(reply, Block::DataStart + 6, 16), {}, {}};
    return ReplyError::NoError;
}

ReplyError Rd_ApplicationName(QByteArrayView reply, QString& name) {
    if (const ReplyError e = checkHeader(reply); e != ReplyError::NoError) return e;
    name = fieldText(reply, Block::ApplicationName1, 16);
    return ReplyError::NoError;
}
