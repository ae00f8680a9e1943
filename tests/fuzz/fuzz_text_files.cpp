// Any bytes as a profile file, a translation file and a tree file. Lookups never crash or read out of
// bounds, a profile value keeps its length limit, a label never keeps a quote, and the lazy tree-file reader
// answers every lookup as the profile reader does. The tree is loaded, verified and written back: the
// written file is a whole tree file and a fixed point (loading it and writing it again gives the same
// bytes). The version check reads it too.
#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "core/profile_file.h"
#include "core/translation.h"
#include "model/tree_file.h"
#include "model/tree_file_reader.h"
#include "model/verification.h"
#include "platform/codepage.h"
#include "platform/pacing.h"
#include "support/server_lists.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

struct Setup {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("fuzz.maa"));
    QString written = dir.filePath(QStringLiteral("written.maa"));
    AppContext ctx;
    Setup() {
        ctx.translation.setText(
            QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nNoeudArbre=Tree\r\n"
                           "actTransfert=Transfer\r\nDebugPoste_Abs=unknown station\r\n"));
        testing_support::addServerLists(ctx, 3);
    }
};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray loadVerifyWrite(Setup& setup, const QString& path) {
    Configuration config = makeConfiguration(setup.ctx);
    ChargementArbres(config, path, setup.ctx);
    NullDiagnostics diagnostics;
    platform::NoPacing pacing;
    TreeVerifier verifier(setup.ctx, diagnostics, pacing);
    verifier.verifArbo(config);
    return treeFileBytes(config);
}

// Fixed names the programs ask for, plus names taken from the input itself.
void lookUp(const QByteArray& bytes) {
    const QString text = platform::decodeAnsi(bytes);
    const ProfileFile profile = ProfileFile::parse(text);
    const TreeFileReader reader(text);
    Translation translation;
    translation.setText(text);
    QStringList sections = {"A1", "M1", "general", "General", "LABELS", "LANGID", ""};
    QStringList keys = {"lib", "1", "menu", "version", "Titre", ""};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size() && i < 8; ++i) {
        sections << lines[i].section(QLatin1Char(']'), 0, 0).mid(1);
        keys << lines[i].section(QLatin1Char('='), 0, 0);
    }
    for (const QString& s : sections) {
        QStringList values;
        reader.readValues(reader.section(s), keys, values);
        profile.hasSection(s);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const QString expected = profile.value(s, keys[k]);
            if (reader.value(s, keys[k]) != expected || values[k] != expected) __builtin_trap();
            if (profile.value(s, keys[k], "d").size() > ProfileFile::kMaxValueLength) __builtin_trap();
            profile.hasKey(s, keys[k]);
            for (bool chinese : {false, true}) {
                translation.setChineseSystem(chinese);
                translation.readTranslation(s, keys[k], QStringLiteral("*"));
                if (translation.getLabel(s, keys[k]).contains(QLatin1Char('"'))) __builtin_trap();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    lookUp(bytes);
    if (!writeFile(setup.path, bytes)) return 0;
    // The first byte picks the number of active trees, so inactive trees are exercised too.
    setup.ctx.Nb_arbre = size > 0 ? 1 + data[0] % 5 : 5;
    (void)verifVersionArbo(setup.path, setup.ctx);
    const QByteArray first = loadVerifyWrite(setup, setup.path);
    if (!first.startsWith("[general]\r\n")) __builtin_trap();
    if (!writeFile(setup.written, first)) return 0;
    const QByteArray second = loadVerifyWrite(setup, setup.written);
    if (first != second) __builtin_trap();
    return 0;
}
