#include "platform/codepage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>

namespace platform {

namespace {

int configuredCodePage() {
    const QByteArray env = qgetenv("QAVO_CODEPAGE").trimmed();
    if (env.isEmpty()) return 1252;
    bool ok = false;
    const int number = env.toInt(&ok);
    if (ok && number > 0) return number;
    // A codec name: keep 1252 as the number unless it names a windows-NNNN codec.
    const QByteArray lower = env.toLower();
    if (lower.startsWith("windows-") || lower.startsWith("cp")) {
        const int n = lower.mid(lower.indexOf('-') >= 0 ? lower.indexOf('-') + 1 : 2).toInt(&ok);
        if (ok && n > 0) return n;
    }
    return 1252;
}

// Windows-1252 is by far the common case: a table of its own is exact (the five unassigned bytes map to
// the C1 controls, as the Windows converter does, so UTF-8 bytes read as ANSI survive the round trip)
// and fast on big tree files.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decode1252(const QByteArray& bytes) {
    // Latin-1 is code page 1252 but for 0x80..0x9F: Qt's quick conversion, then those bytes mapped,
    // skipping eight ASCII bytes at a time (a tree file is mostly ASCII).
    QString out = QString::fromLatin1(bytes);
    const char* const src = bytes.constData();
    const qsizetype size = bytes.size();
    char16_t* dst = nullptr;
    for (qsizetype i = 0; i < size;) {
        quint64 word = 0;
        if (i + 8 <= size) {
            std::memcpy(&word, src + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const auto b = static_cast<unsigned char>(src[i]);
        if (b >= 0x80 && b < 0xA0) {
            if (!dst) dst = reinterpret_cast<char16_t*>(out.data());
            dst[i] = kCp1252High[b - 0x80];
        }
        ++i;
    }
    return out;
}

QByteArray encode1252(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (const QChar qc : text) {
        const char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            *dst++ = char(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == u) {
                mapped = char(0x80 + i);
                break;
            }
        }
        *dst++ = mapped;
    }
    return out;
}

} // namespace

int ansiCodePage() {
    static const int codePage = configuredCodePage();
    return codePage;
}

QByteArray codecNameForCodePage(int codePage) {
    switch (codePage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 65001:
        return "UTF-8";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

QString decodeCodePage(int codePage, const QByteArray& bytes) {
    if (codePage == 1252) return decode1252(bytes);
    if (codePage == 65001) return QString::fromUtf8(bytes);
    QStringDecoder decoder(codecNameForCodePage(codePage).constData());
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

namespace {

// ICU marks a character the code page cannot hold with the SUB control (0x1A); Windows writes "?".
QByteArray encodeWithWindowsSubstitute(QStringEncoder& encoder, const QString& text) {
    encoder.resetState();
    QByteArray out = encoder.encode(text);
    if (!out.contains('\x1a')) return out;
    if (!text.contains(QChar(0x1A))) return out.replace('\x1a', '?');
    // The text holds SUB itself: encode it piece by piece to tell its own SUB from the substitutes.
    QByteArray exact;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        if (text.at(i) == QChar(0x1A)) {
            exact.append('\x1a');
        } else {
            encoder.resetState();
            exact.append(QByteArray(encoder.encode(QStringView(text).sliced(i, len))).replace('\x1a', '?'));
        }
        i += len;
    }
    return exact;
}

} // namespace

QByteArray encodeCodePage(int codePage, const QString& text) {
    if (codePage == 1252) return encode1252(text);
    if (codePage == 65001) return text.toUtf8();
    QStringEncoder encoder(codecNameForCodePage(codePage).constData());
    if (!encoder.isValid()) return text.toLatin1();
    return encodeWithWindowsSubstitute(encoder, text);
}

QString decodeAnsi(const QByteArray& bytes) {
    if (ansiCodePage() == 1252) return decode1252(bytes);
    static thread_local QStringDecoder decoder(codecNameForCodePage(ansiCodePage()).constData());
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    decoder.resetState();
    return decoder.decode(bytes);
}

QByteArray encodeAnsi(const QString& text) {
    if (ansiCodePage() == 1252) return encode1252(text);
    static thread_local QStringEncoder encoder(codecNameForCodePage(ansiCodePage()).constData());
    if (!encoder.isValid()) return text.toLatin1();
    return encodeWithWindowsSubstitute(encoder, text);
}

int codePageForLocale(int localeId) {
    // Keyed by the full locale identifier; the primary language alone does not decide (Serbian Latin is
    // 1250, Serbian Cyrillic 1251; Chinese Taiwan is 950, PRC 936).
    static const QHash<int, int> table = [] {
        QHash<int, int> t;
        auto add = [&t](int codePage, std::initializer_list<int> locales) {
            for (int id : locales)
                t.insert(id, codePage);
        };
        add(874, {0x041E});
        add(932, {0x0411});
        add(936, {0x0804, 0x1004});
        add(949, {0x0412});
        add(950, {0x0404, 0x0C04, 0x1404, 0x7C04});
        add(1250, {0x041C, 0x041A, 0x0405, 0x040E, 0x0415, 0x0418, 0x041B, 0x0424, 0x081A, 0x101A, 0x141A,
                   0x181A, 0x2C1A, 0x241A});
        add(1251, {0x0402, 0x0419, 0x0422, 0x0423, 0x042F, 0x043F, 0x0440, 0x0444, 0x0450, 0x046D, 0x0485,
                   0x0C1A, 0x1C1A, 0x201A, 0x281A, 0x301A, 0x082C, 0x0843});
        add(1252, {0x0403, 0x0406, 0x0407, 0x0409, 0x040A, 0x040B, 0x040C, 0x040F, 0x0410, 0x0413, 0x0414,
                   0x0416, 0x041D, 0x0421, 0x042D, 0x0436, 0x0438, 0x0441, 0x0452, 0x0456, 0x046E, 0x0807,
                   0x0809, 0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081D, 0x083E, 0x0C07, 0x0C09,
                   0x0C0A, 0x0C0C, 0x1007, 0x1009, 0x100A, 0x100C, 0x1407, 0x1409, 0x140A, 0x140C, 0x1809,
                   0x180A, 0x180C, 0x1C09, 0x1C0A, 0x2009, 0x200A, 0x2409, 0x240A, 0x2809, 0x280A, 0x2C09,
                   0x2C0A, 0x3009, 0x300A, 0x3409, 0x340A, 0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A,
                   0x500A, 0x0434, 0x0435, 0x0462, 0x0464, 0x0470, 0x046A, 0x0491, 0x0483, 0x0446});
        add(1253, {0x0408});
        add(1254, {0x041F, 0x042C, 0x0443});
        add(1255, {0x040D});
        add(1256, {0x0401, 0x0429, 0x0420, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001,
                   0x2401, 0x2801, 0x2C01, 0x3001, 0x3401, 0x3801, 0x3C01, 0x4001, 0x048C, 0x0492});
        add(1257, {0x0425, 0x0426, 0x0427});
        add(1258, {0x042A});
        return t;
    }();
    return table.value(localeId, 0);
}

} // namespace platform
