#include "lines/application_table.h"

#include "lines/scripted_server.h"

#include <gtest/gtest.h>

namespace {

struct Server : ScriptedServer {
    Server()
        : ScriptedServer(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[VOIES]\r\nFAX=Fax server\r\n"
                                        "STANDARD=Operator\r\n[LABELS]\r\nFAX=wrong section\r\n")) {}
};

// A page of the application table: records first..last-1, codes from `code`.
QByteArray page(int first, int last, int code, int status = 0) {
    QByteArray block(Block::Size, '\0');
    writeReplyHeader(block, quint32(status), first, last);
    for (int k = 0; k < last - first; ++k)
        Wr_Application(block, k,
                       {QString::number(code + k), QStringLiteral("App%1").arg(code + k), "C2", "F4"});
    return block;
}

TEST(ApplicationTable, PagesUntilAShortPageOrAFailure) {
    struct Case {
        const char* name;
        QList<QByteArray> replies;
        int requests;
        qsizetype read;
        bool ok;
    };
    const Case tc[] = {
        {"157 then 156", {page(0, 157, 1), page(157, 313, 158)}, 2, 313, true},
        {"one short page", {page(0, 3, 1)}, 1, 3, true},
        {"empty table", {page(0, 0, 1)}, 1, 0, true},
        {"second page not answered", {page(0, 157, 1)}, 2, 157, false},
        {"second page bad status", {page(0, 157, 1), page(157, 160, 158, 1)}, 2, 157, false},
        {"first page cut", {page(0, 157, 1).left(600)}, 1, 0, false},
        {"server repeats its page", {page(0, 157, 1), page(0, 157, 158)}, 2, 314, false},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.name);
        Server s;
        s.gateway->replies = c.replies;
        const ApplicationLoad r = loadApplications(s.ctx);
        EXPECT_EQ(r.ok, c.ok);
        ASSERT_EQ(r.records.size(), c.read);
        for (qsizetype i = 0; i < r.records.size(); ++i)
            ASSERT_EQ(r.records[i].code, QString::number(i + 1));
        ASSERT_EQ(s.gateway->requestsSeen.size(), c.requests);
        for (int i = 0; i < c.requests; ++i) {
            EXPECT_EQ(s.gateway->requestsSeen[i].size(),
                      513); // 512 bytes and one more, as the gateway takes them
            EXPECT_EQ(QList<quint32>({s.field(i, 8), s.field(i, 12), s.field(i, 32), s.field(i, 36)}),
                      QList<quint32>({0, 2, i == 0 ? 0u : 157u, 157})); // from the first page's last index
        }
    }
}

TEST(ApplicationTable, ListsAndDisplayNames) {
    Server s;
    const QList<ApplicationRecord> records = {
        {"300", "  Messagerie ", "M", "x"}, {"451", "$ FAX", "A", "1"}, {"455", "$STANDARD", "B", "2"},
        {"489", "$INCONNU", "", ""},        {"490", "Limite", "", ""},  {"456", "Hors SVI", "", ""},
        {"000452", "Zeros", "", ""},
    };
    const auto items = [](const QList<ApplicationItem>& list) {
        QStringList out;
        for (const ApplicationItem& a : list)
            out << a.item();
        return out;
    };
    const QList<ApplicationItem> list = allApplications(records, s.ctx.translation);
    EXPECT_EQ(items(list), QStringList({"300|Messagerie|M|x", "451|Fax server|A|1", "455|Operator|B|2",
                                        "489|*||", "456|Hors SVI||", "000452|Zeros||"}));
    EXPECT_EQ(items(choosableApplications(records, s.ctx.translation)),
              QStringList({"451|Fax server|A|1", "455|Operator|B|2", "00452|Zeros||"}));
    EXPECT_EQ(applicationName(list, 455), QStringLiteral("Operator"));
    EXPECT_EQ(applicationName(list, 452), QStringLiteral("Zeros"));
    EXPECT_EQ(applicationName(list, 490), QString());
}

TEST(ApplicationTable, SingleApplicationRequests) {
    Server s;
    QByteArray oneApp(Block::Size, '\0');
    Wr_Application(oneApp, 0, {"452", "Standard", "", ""});
    QByteArray name(Block::Size, '\0');
    writeApplicationName(name, QStringLiteral("Nuit"));
    QByteArray unnamed(Block::Size, '\0');
    QByteArray refusal(Block::Size, '\0');
    writeReplyHeader(refusal, 1, 0, 0);
    s.gateway->replies = {oneApp, refusal, name, unnamed, refusal};

    const std::optional<ApplicationRecord> app = readApplication(s.ctx, 452);
    ASSERT_TRUE(app);
    EXPECT_EQ(app->code + QLatin1Char('|') + app->name, QStringLiteral("452|Standard"));
    EXPECT_FALSE(readApplication(s.ctx, 453));
    EXPECT_EQ(readApplicationName(s.ctx, 300), QStringLiteral("Nuit"));
    EXPECT_EQ(readApplicationName(s.ctx, 301), UnknownApplicationName);
    EXPECT_EQ(readApplicationName(s.ctx, 302), UnknownApplicationName);
    EXPECT_EQ(s.codes(), QList<quint32>({5, 5, 1, 1, 1})); // the codes asked: the simulator's test
}

} // namespace
