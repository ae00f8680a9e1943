#include "cli/json_report.h"

#include "core/app_context.h"
#include "flow/tree_diff.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

namespace cli {

namespace {

constexpr std::size_t kFindingBlock = 64 * 1024;

// Copies the run of plain characters that text starts with (those that stand for themselves in JSON:
// ASCII from 0x20 on, neither '"' nor '\\') to out, a byte each; returns its length. Nearly all of a
// finding's text is such a run.
qsizetype copyPlainRun(const char16_t* text, qsizetype size, char* out) {
    qsizetype i = 0;
    for (; i < size && text[i] >= 0x20 && text[i] < 0x80 && text[i] != u'"' && text[i] != u'\\'; ++i)
        out[i] = char(text[i]);
    return i;
}

char hexDigit(unsigned n) {
    return char(n < 10 ? '0' + n : 'a' + n - 10);
}

// Writes text at out as Qt's JSON writer does: '"', '\' and the control characters escaped, everything
// else in UTF-8, and a surrogate without its other half as \uXXXX. Returns the end of what was written: at
// most six bytes per UTF-16 unit.
class JsonEscaper {
public:
    explicit JsonEscaper(char* out) : m_out(out) {}

    char* write(const char16_t* text, qsizetype size) {
        for (qsizetype i = 0;;) {
            const qsizetype run = copyPlainRun(text + i, size - i, m_out);
            i += run;
            m_out += run;
            if (i == size) return m_out;
            const char16_t u = text[i++];
            if (u < 0x80) {
                escapeAscii(char(u));
            } else if (u < 0x800) {
                byte(0xc0 | (u >> 6));
                byte(0x80 | (u & 0x3f));
            } else if (QChar::isHighSurrogate(u) && i < size && QChar::isLowSurrogate(text[i])) {
                const char32_t c = QChar::surrogateToUcs4(u, text[i++]);
                byte(0xf0 | (c >> 18));
                byte(0x80 | ((c >> 12) & 0x3f));
                byte(0x80 | ((c >> 6) & 0x3f));
                byte(0x80 | (c & 0x3f));
            } else if (QChar::isSurrogate(u)) {
                escapeUnit(u);
            } else {
                byte(0xe0 | (u >> 12));
                byte(0x80 | ((u >> 6) & 0x3f));
                byte(0x80 | (u & 0x3f));
            }
        }
    }

private:
    void escapeAscii(char c) {
        *m_out++ = '\\';
        switch (c) {
        case '"':
        case '\\':
            *m_out++ = c;
            break;
        case '\b':
            *m_out++ = 'b';
            break;
        case '\f':
            *m_out++ = 'f';
            break;
        case '\n':
            *m_out++ = 'n';
            break;
        case '\r':
            *m_out++ = 'r';
            break;
        case '\t':
            *m_out++ = 't';
            break;
        default:
            m_out = std::copy_n("u00", 3, m_out);
            *m_out++ = hexDigit(unsigned(c) >> 4);
            *m_out++ = hexDigit(unsigned(c) & 0xf);
        }
    }
    void escapeUnit(char16_t u) {
        *m_out++ = '\\';
        *m_out++ = 'u';
        for (int shift = 12; shift >= 0; shift -= 4)
            *m_out++ = hexDigit((u >> shift) & 0xf);
    }
    void byte(unsigned b) { *m_out++ = char(b); }

    char* m_out;
};

// The document on stdout, written as it is made through a buffer of fixed size.
class DocumentOutput {
public:
    DocumentOutput() : m_bytes(std::make_unique_for_overwrite<char[]>(kChunk)) {}
    ~DocumentOutput() {
        flush();
        std::fflush(stdout);
    }
    DocumentOutput(const DocumentOutput&) = delete;
    DocumentOutput& operator=(const DocumentOutput&) = delete;

    template <std::size_t N> DocumentOutput& operator<<(const char (&literal)[N]) {
        return write(literal, N - 1);
    }
    DocumentOutput& operator<<(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    DocumentOutput& write(const char* bytes, std::size_t size) {
        if (m_size + size > kChunk) {
            flush();
            if (size > kChunk) {
                std::fwrite(bytes, 1, size, stdout);
                return *this;
            }
        }
        std::memcpy(m_bytes.get() + m_size, bytes, size);
        m_size += size;
        return *this;
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    void flush() {
        std::fwrite(m_bytes.get(), 1, m_size, stdout);
        m_size = 0;
    }

    std::unique_ptr<char[]> m_bytes;
    std::size_t m_size = 0;
};

// A member of the top-level object as Qt prints it (four spaces in, nested values indented from there),
// without the separator that follows.
QByteArray memberText(const QString& key, const QJsonValue& value) {
    const QByteArray object = QJsonDocument(QJsonObject{{key, value}}).toJson(QJsonDocument::Indented);
    return object.mid(2, object.size() - 5); // "{\n" before, "\n}\n" after
}

void writeFindings(const ReportFindings& findings, DocumentOutput& out) {
    out << "    \"findings\": [";
    bool first = true;
    findings.forEach(
        [&](std::string_view code, std::string_view level, std::string_view node, std::string_view text) {
            if (!first) out << ",";
            first = false;
            out << "\n        {\n            \"code\": \"";
            out.write(code.data(), code.size()) << "\",\n            \"level\": \"";
            out.write(level.data(), level.size()) << "\",\n            \"node\": \"";
            out.write(node.data(), node.size()) << "\",\n            \"text\": \"";
            out.write(text.data(), text.size()) << "\"\n        }";
        });
    out << "\n    ]";
}

// Every member of the document; the findings, printed apart, stand as an empty array.
QJsonObject reportMembers(const Report& r, int rc) {
    QJsonArray changes;
    for (const ReportChange& c : r.changes)
        changes.append(QJsonObject{{QStringLiteral("path"), c.path},
                                   {QStringLiteral("before"), c.before},
                                   {QStringLiteral("after"), c.after}});
    QJsonObject o = r.extra;
    o.insert(QStringLiteral("changed"), r.changed);
    o.insert(QStringLiteral("changes"), changes);
    o.insert(QStringLiteral("findings"), QJsonArray());
    o.insert(QStringLiteral("revision"), r.revision.isEmpty() ? QJsonValue() : QJsonValue(r.revision));
    o.insert(QStringLiteral("msg"), r.msg);
    o.insert(QStringLiteral("failed"), r.failed.value_or(rc != 0 && rc != kWouldChange));
    o.insert(QStringLiteral("rc"), rc);
    return o;
}

} // namespace

void ReportFindings::add(QStringView code, QLatin1StringView level, QStringView node,
                         std::initializer_list<QStringView> text) {
    qsizetype units = code.size() + node.size();
    for (const QStringView piece : text)
        units += piece.size();
    char* const start = room(std::size_t(units) * 6 + std::size_t(level.size()) + 4);
    char* at = escaped(start, {code});
    *at++ = '\0';
    at = std::copy(level.begin(), level.end(), at); // "error" or "warning": nothing to escape
    *at++ = '\0';
    at = escaped(at, {node});
    *at++ = '\0';
    at = escaped(at, text);
    *at++ = '\0';
    m_blocks.back().size += std::size_t(at - start);
}

char* ReportFindings::escaped(char* out, std::initializer_list<QStringView> pieces) {
    // The pieces are joined first: a surrogate pair split between two of them is still
    // one character, and most pieces are a few characters long, which one run converts quicker.
    qsizetype size = 0;
    for (const QStringView piece : pieces)
        size += piece.size();
    if (std::size_t(size) > m_textCapacity) {
        m_textCapacity = std::size_t(size);
        m_text = std::make_unique_for_overwrite<char16_t[]>(m_textCapacity);
    }
    char16_t* at = m_text.get();
    for (const QStringView piece : pieces)
        at = std::copy_n(piece.utf16(), piece.size(), at);
    return JsonEscaper(out).write(m_text.get(), size);
}

char* ReportFindings::room(std::size_t bytes) {
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().size < bytes) {
        const std::size_t capacity = std::max(kFindingBlock, bytes);
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(capacity), 0, capacity});
    }
    return m_blocks.back().bytes.get() + m_blocks.back().size;
}

Report& report() {
    static Report r;
    return r;
}

bool takeJsonFlag(QStringList& args) {
    return args.removeAll(QStringLiteral("--json")) > 0;
}

void reportChanges(const flow::Changes& changes) {
    Report& r = report();
    r.changed = r.changed || !changes.isEmpty();
    for (const flow::Changes::Item& c : changes.items)
        r.changes.append({c.path, c.before, c.after});
}

// The findings are written apart: through QJsonDocument, thousands of them would cost the process several
// times what the check itself does. The other members keep Qt's own layout.
int finishReport(int rc) {
    const Report& r = report();
    if (!r.json) return rc;
    const QJsonObject members = reportMembers(r, rc);
    DocumentOutput out;
    out << "{\n";
    const char* separator = "";
    for (auto it = members.begin(); it != members.end(); ++it) {
        out << separator;
        separator = ",\n";
        if (it.key() == QLatin1String("findings"))
            writeFindings(r.findings, out);
        else
            out << memberText(it.key(), it.value());
    }
    out << "\n}\n";
    return rc;
}

RevisionNote::~RevisionNote() {
    if (!m_ctx.lastRevision.isEmpty()) report().revision = m_ctx.lastRevision;
}

} // namespace cli
