#include "lines/application_table.h"

#include "lines/scripted_server.h"

#include <gtest/gtest.h>

namespace {

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
    // The replies; the requests sent, the records read and whether the load succeeded.
    const std::tuple<const char*, QList<QByteArray>, int, qsizetype, bool> tc[] = {
        {"157 then 156", {page(0, 157, 1), page(157, 313, 158)}, 2, 313, true},
        {"one short page", {page(0, 3, 1)}, 1, 3, true},
        {"empty table", {page(0, 0, 1)}, 1, 0, true},
        {"second page not answered", {page(0, 157, 1)}, 2, 157, false},
        {"second page bad status", {page(0, 157, 1), page(157, 160, 158, 1)}, 2, 157, false},
        {"first page cut", {page(0, 157, 1).left(600)}, 1, 0, false},
        {"server repeats its page", {page(0, 157, 1), page(0, 157, 158)}, 2, 314, false},
    };
    for (const auto& [name, replies, requests, read, ok] : tc) {
        SCOPED_TRACE(name);
        ScriptedServer s(replies);
        const ApplicationLoad r = loadApplications(s.ctx);
        ASSERT_EQ(std::pair(r.ok, r.records.size()), std::pair(ok, read));
        for (qsizetype i = 0; i < r.records.size(); ++i)
            ASSERT_EQ(r.records[i].code, QString::number(i + 1));
        ASSERT_EQ(s.gateway->requestsSeen.size(), requests);
        // 512 bytes and one more, as the gateway takes them; the second from the first page's last index.
        for (int i = 0; i < requests; ++i)
            EXPECT_EQ(QList<quint32>({quint32(s.gateway->requestsSeen[i].size()), s.field(i, 8),
                                      s.field(i, 12), s.field(i, 32), s.field(i, 36)}),
                      QList<quint32>({513, 0, 2, i == 0 ? 0u : 157u, 157}));
    }
}

TEST(ApplicationTable, ListsAndDisplayNames) {
    ScriptedServer s;
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
    EXPECT_EQ(items(list), QStringList({"300|Messagerie|M|x", "451|Fax server|A|1", "455|Standard|B|2",
                                        "489|*||", "456|Hors SVI||", "000452|Zeros||"}));
    EXPECT_EQ(items(choosableApplications(records, s.ctx.translation)),
              QStringList({"451|Fax server|A|1", "455|Standard|B|2", "00452|Zeros||"}));
    EXPECT_EQ(
        QStringList({applicationName(list, 455), applicationName(list, 452), applicationName(list, 490)}),
        QStringList({"Standard", "Zeros", ""}));
}

// What the server gives is read in the line table's and the simulator's tests; a refusal gives nothing.
TEST(ApplicationTable, ARefusedRequestGivesNoApplicationAndNoName) {
    ScriptedServer s({page(0, 0, 0, 1), page(0, 0, 0, 1)});
    EXPECT_FALSE(readApplication(s.ctx, 453));
    EXPECT_EQ(readApplicationName(s.ctx, 302), UnknownApplicationName);
    EXPECT_EQ(s.codes(), QList<quint32>({5, 1})); // the codes asked: the simulator's test
}

} // namespace
