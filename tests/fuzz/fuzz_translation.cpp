// Any bytes as a translation file: every lookup must answer without crashing or reading out of bounds.
#include "core/translation.h"
#include "platform/codepage.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = platform::decodeAnsi(bytes);
    Translation t;
    t.setText(text);

    QStringList sections = {QStringLiteral("LABELS"), QStringLiteral("frmVoies900"), QStringLiteral("LANGID"),
                            QStringLiteral("")};
    QStringList keys = {QStringLiteral("Titre"), QStringLiteral("1"), QStringLiteral("MenuAdd"),
                        QStringLiteral("")};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size() && i < 8; ++i) {
        sections << lines[i].section(QLatin1Char(']'), 0, 0).mid(1);
        keys << lines[i].section(QLatin1Char('='), 0, 0);
    }
    for (bool chinese : {false, true}) {
        t.setChineseSystem(chinese);
        for (const QString& s : sections) {
            for (const QString& k : keys) {
                t.readTranslation(s, k, QStringLiteral("*"));
                if (t.getLabel(s, k).contains(QLatin1Char('"')))
                    __builtin_trap(); // quotes are always dropped
            }
        }
    }
    return 0;
}
