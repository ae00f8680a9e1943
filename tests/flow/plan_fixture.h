#pragma once

// Configurations for the plan tests: the shipped examples opened as the editor opens them, with the
// English captions and, when given, the server's lists; then verified, so that boxes carry colours.

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "startup/server_info.h"
#include "support/test_support.h"

#include <memory>

namespace plan_test {

inline QString resource(const QString& name) {
    return testing_support::resourcesDir() + QLatin1Char('/') + name;
}

struct Opened {
    AppContext ctx;
    Configuration config;
};

// infoFile "" keeps local mode (five trees, no lists).
inline std::unique_ptr<Opened> open(const QString& treeFile, const QString& infoFile = {}) {
    auto o = std::make_unique<Opened>();
    o->ctx.translation.loadFile(resource(QStringLiteral("qavo_lg01.txt")));
    if (!infoFile.isEmpty()) loadServerInformation(o->ctx, resource(infoFile));
    o->config = makeConfiguration(o->ctx);
    if (openTreeFile(o->config, resource(treeFile), o->ctx) != OpenResult::Opened) return nullptr;
    NullDiagnostics silent;
    platform::NoPacing pacing;
    TreeVerifier(o->ctx, silent, pacing).verifArbo(o->config);
    return o;
}

inline const QString kExample = QStringLiteral("server-example/arbre.maa");
inline const QString kDemo = QStringLiteral("examples/demo.maa");
inline const QString kInfo = QStringLiteral("server-example/qavo_general.txt");

} // namespace plan_test
