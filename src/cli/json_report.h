#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringView>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

struct AppContext;
namespace flow {
struct Changes;
}

// What a command did, as the one JSON document --json prints on stdout, with the key names of Ansible's
// common return values so that a module passes them through: changed, changes, findings, revision, msg,
// failed, rc, and the command's own keys.
namespace cli {

// Exit code of a --check that found the server's file would change.
constexpr int kWouldChange = 5;

struct ReportChange {
    QString path; // where: "M1/2" (menu M1, key 2), "A1/ann1", "general/code_retour", a line's numbers
    QString before, after;
};

// The findings of a check, kept as the document prints them: each one's code (the diagnostic's label key,
// the same in every language), level ("error" or "warning"), node and text, escaped and in UTF-8, one after
// another in blocks. A large tree has thousands of findings: four strings apiece would cost more to build
// and to free than the check itself.
class ReportFindings {
public:
    // Adds a finding whose text is the pieces joined.
    void add(QStringView code, QLatin1StringView level, QStringView node,
             std::initializer_list<QStringView> text);
    // Calls visit(code, level, node, text) for each finding in order, with its fields (std::string_view)
    // as they print.
    template <typename Visit> void forEach(Visit visit) const {
        for (const Block& block : m_blocks)
            for (const char* at = block.bytes.get(); at != block.bytes.get() + block.size;) {
                std::string_view fields[4];
                for (std::string_view& field : fields) {
                    field = std::string_view(at);
                    at += field.size() + 1;
                }
                visit(fields[0], fields[1], fields[2], fields[3]);
            }
    }

private:
    // Escaped fields never hold a NUL (it prints as \u0000): each one ends with one.
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0, capacity = 0;
    };
    char* room(std::size_t bytes);
    // Writes the pieces of a text at out as it prints in the document; returns the end of what was
    // written (at most six bytes per UTF-16 unit).
    char* escaped(char* out, std::initializer_list<QStringView> pieces);

    std::vector<Block> m_blocks;
    std::unique_ptr<char16_t[]> m_text; // the text being written, its pieces joined
    std::size_t m_textCapacity = 0;
};

struct Report {
    bool json = false; // --json was given: stdout carries the document alone
    bool changed = false;
    std::optional<bool> failed; // by default: any exit code but 0 and kWouldChange
    QList<ReportChange> changes;
    ReportFindings findings;
    QString revision; // "" prints as null
    QString msg;
    QJsonObject extra;
};

// The one report of this process (one command runs per process).
Report& report();

// Takes "--json" out of args; true when it was there (the report then prints on finishing).
bool takeJsonFlag(QStringList& args);

// The change lines of a tree comparison into the report; changed when there is one.
void reportChanges(const flow::Changes& changes);

// Prints the document when --json was given; returns rc.
int finishReport(int rc);

// Copies the revision the run recorded into the report when it ends (whatever path the command takes).
class RevisionNote {
public:
    explicit RevisionNote(const AppContext& ctx) : m_ctx(ctx) {}
    ~RevisionNote();
    RevisionNote(const RevisionNote&) = delete;
    RevisionNote& operator=(const RevisionNote&) = delete;

private:
    const AppContext& m_ctx;
};

} // namespace cli
