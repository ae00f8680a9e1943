#include "lines/line_text.h"

#include "platform/codepage.h"

#include <QStringDecoder>

namespace line_text {

QList<QByteArrayView> splitLines(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.append(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(bytes.sliced(start));
    return lines;
}

QByteArrayView trimSpaces(QByteArrayView line) {
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && line[b] == ' ')
        ++b;
    while (e > b && line[e - 1] == ' ')
        --e;
    return line.sliced(b, e - b);
}

QString decodeLine(QByteArrayView line) {
    bool ascii = true;
    for (const char c : line)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return QString::fromLatin1(line);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(line);
    if (!utf8.hasError()) return text;
    return platform::decodeAnsi(line.toByteArray());
}

qint16 numberOrZero(QStringView text) {
    bool ok = false;
    const qint16 value = text.trimmed().toShort(&ok);
    return ok ? value : 0;
}

QString withoutSeparator(QString text) {
    return text.remove(QLatin1Char(';'));
}

} // namespace line_text
