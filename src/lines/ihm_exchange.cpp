#include "lines/ihm_exchange.h"

#include "lines/record_codec.h"
#include "server/passerelle.h"

std::optional<QByteArrayView> sendIhmRequest(AppContext& ctx, QByteArray& block) {
    // The reply is read back into the whole buffer, whatever the request's length.
    if (block.size() < Block::Size) block.resize(Block::Size, '\0');
    bool answered = false;
    qsizetype length = 0;
    const qint16 result = passerelleOf(ctx).GetIhmInfo(ctx, block, requestLength(readU32(block, Block::Code)),
                                                       &answered, &length);
    if (!answered || result != 0) return std::nullopt;
    return QByteArrayView(block.constData(), qMin(length, block.size()));
}
