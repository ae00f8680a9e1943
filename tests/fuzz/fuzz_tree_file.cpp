// Any bytes given as a tree file must load and save without a crash or an out-of-bounds read.
#include "core/app_context.h"
#include "model/tree_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

struct Setup {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("fuzz.maa"));
    AppContext ctx;
    Setup() {
        ctx.translation.setText(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nNoeudArbre=Tree\r\n"));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    {
        QFile file(setup.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // The first byte picks the number of active trees, so inactive trees are exercised too.
    setup.ctx.Nb_arbre = size > 0 ? 1 + data[0] % 5 : 5;
    Configuration config;
    config.actionTypes = makeActionTypes(setup.ctx.translation);
    config.schedules = makeSchedules(setup.ctx.translation);
    ChargementArbres(config, setup.path, setup.ctx);
    const QByteArray bytes = treeFileBytes(config);
    (void)verifVersionArbo(setup.path, setup.ctx);
    if (!bytes.startsWith("[general]\r\n")) __builtin_trap();
    return 0;
}
