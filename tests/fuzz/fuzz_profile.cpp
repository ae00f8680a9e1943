// Any bytes as a profile file: parsing and lookups must never crash or read out of bounds.
#include "core/profile_file.h"
#include "platform/codepage.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = platform::decodeAnsi(bytes);
    const ProfileFile profile = ProfileFile::parse(text);

    // Fixed names the program asks for, plus names taken from the input itself.
    QStringList sections = {QStringLiteral("General"), QStringLiteral("Annonces"), QStringLiteral("A1"),
                            QStringLiteral("")};
    QStringList keys = {QStringLiteral("version"), QStringLiteral("1"), QStringLiteral("lib"),
                        QStringLiteral("")};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size() && i < 8; ++i) {
        sections << lines[i].section(QLatin1Char(']'), 0, 0).mid(1);
        keys << lines[i].section(QLatin1Char('='), 0, 0);
    }
    for (const QString& s : sections) {
        profile.hasSection(s);
        for (const QString& k : keys) {
            const QString v = profile.value(s, k, QStringLiteral("d"));
            if (v.size() > ProfileFile::kMaxValueLength) __builtin_trap();
            profile.hasKey(s, k);
        }
    }
    return 0;
}
