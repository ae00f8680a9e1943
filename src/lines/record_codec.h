#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

// Request blocks of the gateway's information requests and the binary records they carry (line
// records of generation-500 servers, their general record, application records). Used by the line
// windows and by the simulator, so it holds no widget and no gateway call.
//
// A block is 8704 bytes: a 512-byte header, then the data part. All fields are little-endian.
namespace Block {
inline constexpr int Size = 8704;       // whole block; also the reply buffer size
inline constexpr int HeaderSize = 512;  // header; every reply is at least this long
inline constexpr int DataStart = 512;   // first byte of the data part
inline constexpr int ShortLength = 512; // request length of the requests that carry no data

// Request fields (32-bit).
inline constexpr int Code = 8;     // request code
inline constexpr int Param12 = 12; // request kind (table, write mode)
inline constexpr int Param16 = 16; // application code
inline constexpr int First = 32;   // first record index
inline constexpr int Count = 36;   // record count

// Reply fields (32-bit).
inline constexpr int Status = 256;          // 0 = good
inline constexpr int ReplyFirst = 264;      // first record index of the page
inline constexpr int ReplyLast = 268;       // index after the page's last record (count = last - first)
inline constexpr int ReplyCount = 272;      // record count, meaningful when the status is 2
inline constexpr int ApplicationName1 = 40; // reply to request 1: application name, 16 characters
} // namespace Block

namespace RequestCode {
inline constexpr quint32 ApplicationTable = 0;
inline constexpr quint32 ApplicationName = 1;
inline constexpr quint32 Application = 5;
inline constexpr quint32 WriteGeneral = 100;
inline constexpr quint32 ReadGeneral = 101;
inline constexpr quint32 WriteLines = 102;
inline constexpr quint32 ReadLines = 103;
inline constexpr quint32 ReloadLines = 105; // generation 900: take the new line file into account
} // namespace RequestCode

// Most records one reply may hold.
inline constexpr int MaxApplicationsPerPage = 157;
inline constexpr int MaxLinesPerPage = 96;

// 32-bit and 16-bit little-endian fields. Reads outside the bytes give 0; writes outside do nothing.
quint32 readU32(QByteArrayView bytes, qsizetype offset);
quint16 readU16(QByteArrayView bytes, qsizetype offset);
void writeU32(QByteArray& bytes, qsizetype offset, quint32 value);
void writeU16(QByteArray& bytes, qsizetype offset, quint16 value);

// Prepares `block` for a new request: 8704 bytes, header zeroed, data part kept.
void Clear_Bloc_Entete(QByteArray& block);
// Empties the data part (zeroes) of an 8704-byte block; the header is kept.
void Clear_Bloc_Data(QByteArray& block);

// Server characters -> text: one byte per character in the system ANSI code page, ending at the first
// NUL or 0xFF byte.
QString conv_wexa_string(QByteArrayView field);
// Text -> server characters into `field[0 .. length)`: cut to the field, NUL-padded; an empty text
// is written as 0xFF bytes (the server's "no value").
void conv_string_wexa(const QString& text, char* field, int length);

// General record of the line table, 800 bytes. The codec reads and writes only the number of lines,
// a 16-bit field at bytes 0-1; every other byte travels unchanged between read and write.
struct ParVoieT2c {
    static constexpr int Size = 800;
    static constexpr int LineCountOffset = 0;
    std::array<char, Size> bytes{};

    int lineCount() const;
    void setLineCount(int n);
};

// Line record (one line of the server: a range of numbers and the application answering it), 50 bytes.
struct VoieT2cs {
    static constexpr int Size = 50;
    static constexpr int NumberSize = 20;    // characters of the first and last numbers
    static constexpr quint16 Unset = 0xFFFF; // a 16-bit code that is not set

    std::array<char, NumberSize> first; // bytes 0-19, server characters; first byte 0xFF = empty
    std::array<char, NumberSize> last;  // bytes 20-39
    quint16 application = Unset;        // bytes 40-41
    quint16 code2 = Unset;              // bytes 42-43
    quint16 code3 = Unset;              // bytes 44-45
    std::array<char, 4> rest;           // bytes 46-49, carried unchanged

    VoieT2cs(); // a free record: bytes 0-49 all 0xFF

    // Free: bytes 0-45 all 0xFF.
    bool isFree() const;
    // In use: first number, last number, application or second code set.
    bool isInUse() const;

    QString firstText() const;
    QString lastText() const;
    void setFirst(const QString& text);
    void setLast(const QString& text);

    bool operator==(const VoieT2cs&) const = default;
};

// Application record of the server's application table, 52 bytes; fields as texts.
struct ApplicationRecord {
    static constexpr int Size = 52;
    QString code;   // bytes 0-5
    QString name;   // bytes 6-21
    QString code2;  // bytes 36-41
    QString field4; // bytes 42-51
};

// Why a reply was refused. Nothing is read from a refused reply.
enum class ReplyError {
    NoError,
    TooShort,        // shorter than its header (or than the single record it must carry)
    Status,          // status not 0
    IndexesReversed, // last index below first
    TooManyRecords,  // more records than one page allows
    PastReply,       // records reaching past the reply's end
    PastTable,       // records outside the receiving table
};

// Page header of a reply.
struct ReplyPage {
    int first = 0;
    int last = 0;
    int count() const { return last - first; }
};

// Request builders: each prepares `block` with Clear_Bloc_Entete and sets the request's fields.
void requestApplicationTable(QByteArray& block, int first);          // 0
void requestApplicationName(QByteArray& block, int applicationCode); // 1
void requestApplication(QByteArray& block, int applicationCode);     // 5
void requestWriteGeneral(QByteArray& block, const ParVoieT2c& t2c);  // 100, record packed
void requestReadGeneral(QByteArray& block);                          // 101
void requestWriteLines(QByteArray& block, const QList<VoieT2cs>& records, int first, int count); // 102
void requestReadLines(QByteArray& block, int first, int count);                                  // 103
void requestReloadLines(QByteArray& block);                                                      // 105
// Length to send for a request code: the whole block for the requests that carry data (and 105),
// the header alone for the others.
qint16 requestLength(quint32 code);

// Packing (requests and, for the simulator and tests, replies).
void Wr_Par_voie_T2c(QByteArray& block, const ParVoieT2c& t2c);
// Packs records[first .. first + count) into the data part, record 0 first. Indexes outside the
// list or past the block are not written.
void Wr_Par_voie_T2cs(QByteArray& block, const QList<VoieT2cs>& records, int first, int count);
void Wr_Application(QByteArray& block, int position, const ApplicationRecord& app); // data record `position`
void writeReplyHeader(QByteArray& block, quint32 status, int first, int last);
void writeApplicationName(QByteArray& block, const QString& name); // reply to request 1

// Reply reading, bounds-checked against the reply's real bytes (`reply` is exactly what came back).
ReplyError readPage(QByteArrayView reply, int recordSize, int maxRecords, ReplyPage& page);
// Appends the page's application records to `apps`.
ReplyError Rd_Applications(QByteArrayView reply, QList<ApplicationRecord>& apps, ReplyPage& page);
ReplyError Rd_Par_voie_T2c(QByteArrayView reply, ParVoieT2c& t2c);
// Unpacks the page's line records into `records` from the page's first index on.
ReplyError Rd_Par_voie_T2cs(QByteArrayView reply, QList<VoieT2cs>& records, ReplyPage& page);
// Reply to request 5: code (6 characters, byte 512) and name (16 characters, byte 518).
ReplyError Rd_Application(QByteArrayView reply, ApplicationRecord& app);
// Reply to request 1: name (16 characters, byte 40); "" when the server gives none.
ReplyError Rd_ApplicationName(QByteArrayView reply, QString& name);
