// The application table's requests to the server: with the server link, apart from the table's rules.
#include "lines/application_table.h"
#include "lines/ihm_exchange.h"

ApplicationLoad loadApplications(AppContext& ctx) {
    ApplicationLoad result;
    QByteArray block;
    int first = 0;
    for (;;) {
        requestApplicationTable(block, first);
        const std::optional<QByteArrayView> reply = sendIhmRequest(ctx, block);
        ReplyPage page;
        if (!reply || Rd_Applications(*reply, result.records, page) != ReplyError::NoError) return result;
        if (page.count() < MaxApplicationsPerPage) break;
        // A server that does not move on would be asked forever.
        if (page.last <= first) return result;
        first = page.last;
    }
    result.ok = true;
    return result;
}

std::optional<ApplicationRecord> readApplication(AppContext& ctx, int code) {
    QByteArray block;
    requestApplication(block, code);
    const std::optional<QByteArrayView> reply = sendIhmRequest(ctx, block);
    ApplicationRecord app;
    if (!reply || Rd_Application(*reply, app) != ReplyError::NoError) return std::nullopt;
    return app;
}

QString readApplicationName(AppContext& ctx, int code) {
    QByteArray block;
    requestApplicationName(block, code);
    const std::optional<QByteArrayView> reply = sendIhmRequest(ctx, block);
    QString name;
    if (!reply || Rd_ApplicationName(*reply, name) != ReplyError::NoError || name.trimmed().isEmpty())
        return UnknownApplicationName;
    return name;
}
