#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

struct AppContext;

// One information request through the context's gateway (created on first use): sends the request the
// block holds, with the length its code needs, and reads the reply back into the block. Returns the
// reply's real bytes (a view into `block`, valid until the block changes), or nothing when the gateway
// gave no reply or a result other than 0.
std::optional<QByteArrayView> sendIhmRequest(AppContext& ctx, QByteArray& block);
