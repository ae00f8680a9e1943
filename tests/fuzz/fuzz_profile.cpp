// Any bytes as a profile file and as a translation file: parsing and lookups must never crash or read out
// of bounds, a profile value keeps its length limit and a label never keeps a quote.
#include "core/profile_file.h"
#include "core/translation.h"
#include "platform/codepage.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        platform::decodeAnsi(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const ProfileFile profile = ProfileFile::parse(text);
    Translation translation;
    translation.setText(text);

    // Fixed names the programs ask for, plus names taken from the input itself.
    QStringList sections = {QStringLiteral("General"), QStringLiteral("LABELS"), QStringLiteral("LANGID"),
                            QStringLiteral("")};
    QStringList keys = {QStringLiteral("version"), QStringLiteral("1"), QStringLiteral("Titre"),
                        QStringLiteral("")};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size() && i < 8; ++i) {
        sections << lines[i].section(QLatin1Char(']'), 0, 0).mid(1);
        keys << lines[i].section(QLatin1Char('='), 0, 0);
    }
    for (const QString& s : sections) {
        profile.hasSection(s);
        for (const QString& k : keys) {
            if (profile.value(s, k, QStringLiteral("d")).size() > ProfileFile::kMaxValueLength)
                __builtin_trap();
            profile.hasKey(s, k);
            for (bool chinese : {false, true}) {
                translation.setChineseSystem(chinese);
                translation.readTranslation(s, k, QStringLiteral("*"));
                if (translation.getLabel(s, k).contains(QLatin1Char('"'))) __builtin_trap();
            }
        }
    }
    return 0;
}
