// Any bytes as the reply to each information request: the readers must refuse or read within the reply,
// and a whole generation-500 line read fed with pieces of the input must end cleanly.
#include "core/app_context.h"
#include "lines/lines500.h"
#include "lines/record_codec.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

void readEachReply(QByteArrayView reply) {
    QList<ApplicationRecord> apps;
    ReplyPage page;
    if (Rd_Applications(reply, apps, page) == ReplyError::NoError &&
        (apps.size() > MaxApplicationsPerPage || apps.size() != page.count()))
        __builtin_trap();

    QList<VoieT2cs> records(200);
    if (Rd_Par_voie_T2cs(reply, records, page) == ReplyError::NoError &&
        (page.first < 0 || page.last > records.size() || page.count() > MaxLinesPerPage))
        __builtin_trap();
    for (const VoieT2cs& v : records)
        if (v.firstText().size() > VoieT2cs::NumberSize) __builtin_trap();

    ParVoieT2c t2c;
    Rd_Par_voie_T2c(reply, t2c);
    ApplicationRecord app;
    Rd_Application(reply, app);
    QString name;
    Rd_ApplicationName(reply, name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An allocation of exactly the input's size, so that any read past it is caught.
    const std::vector<char> exact(data, data + size);
    readEachReply(QByteArrayView(exact.data(), qsizetype(exact.size())));

    // The input cut into replies at each "|", played to a read of the line table and a CSV import.
    AppContext ctx;
    auto gateway = std::make_unique<RecordingGateway>();
    const QByteArray bytes(exact.data(), qsizetype(exact.size()));
    for (const QByteArray& piece : bytes.split('|')) {
        if (gateway->replies.size() >= 16) break;
        if (!piece.isEmpty()) gateway->replies << piece;
    }
    ctx.passerelle = std::make_shared<Passerelle>(std::move(gateway));
    Lines500 rows(ctx);
    rows.read();
    rows.importCsvBytes(bytes);
    rows.exportCsvBytes();
    return 0;
}
