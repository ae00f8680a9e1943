#include "flow/plan_text.h"

#include "flow/plan_style.h"

#include <QStringBuilder>

namespace flow {

namespace {

QString boxName(const FlowLayout& tree, int box) {
    return QLatin1Char('t') % QString::number(tree.tree()) % QLatin1Char('b') % QString::number(box);
}

// Mermaid reads entity codes between "#" and ";", so those and the characters of its own syntax are
// written as codes.
QString mermaidText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '"':
        case '#':
        case '<':
        case '>':
        case '&':
            out += QLatin1Char('#') % QString::number(ch.unicode()) % QLatin1Char(';');
            break;
        default:
            out += ch;
        }
    }
    return out;
}

QString dotText(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return out;
}

} // namespace

QString planMermaid(const std::vector<FlowLayout>& trees) {
    QString out = QStringLiteral("flowchart LR\n");
    const bool several = trees.size() > 1;
    QStringList classes[3]; // error, warning, inactive
    for (const FlowLayout& tree : trees) {
        const QString indent = several ? QStringLiteral("    ") : QStringLiteral("  ");
        if (several && !tree.boxes().empty())
            out += QStringLiteral("  subgraph t") % QString::number(tree.tree()) % QStringLiteral("[\"") %
                   mermaidText(tree.boxes().front().title) % QStringLiteral("\"]\n");
        for (int i = 0; i < int(tree.boxes().size()); ++i) {
            const PlanBox& b = tree.boxes()[size_t(i)];
            QString label = mermaidText(b.title);
            for (const QString& line : b.lines)
                label += QStringLiteral("<br/>") % mermaidText(line);
            out += indent % boxName(tree, i) % QStringLiteral("[\"") % label % QStringLiteral("\"]\n");
            if (b.state != BoxState::Normal)
                classes[b.state == BoxState::Error     ? 0
                        : b.state == BoxState::Warning ? 1
                                                       : 2]
                    << boxName(tree, i);
        }
        if (several && !tree.boxes().empty()) out += QStringLiteral("  end\n");
        for (const PlanArrow& a : tree.arrows()) {
            // Mermaid's own form: A -->|"label"| B.
            const QString link = a.dashed ? QStringLiteral(" -.->") : QStringLiteral(" -->");
            const QString label = a.label.isEmpty()
                                      ? QString()
                                      : QStringLiteral("|\"") % mermaidText(a.label) % QStringLiteral("\"|");
            out += QStringLiteral("  ") % boxName(tree, a.from) % link % label % QLatin1Char(' ') %
                   boxName(tree, a.to) % QLatin1Char('\n');
        }
    }
    static const char* const names[3] = {"error", "warning", "inactive"};
    static const BoxState states[3] = {BoxState::Error, BoxState::Warning, BoxState::Inactive};
    for (int k = 0; k < 3; ++k) {
        if (classes[k].isEmpty()) continue;
        const BoxColours c = boxColours(BoxKind::Action, states[k]);
        out += QStringLiteral("  classDef %1 fill:%2,stroke:%3,color:%4\n")
                   .arg(QLatin1String(names[k]), QLatin1String(c.fill), QLatin1String(c.stroke),
                        QLatin1String(c.text));
        out += QStringLiteral("  class ") % classes[k].join(QLatin1Char(',')) % QLatin1Char(' ') %
               QLatin1String(names[k]) % QLatin1Char('\n');
    }
    return out;
}

QString planDot(const std::vector<FlowLayout>& trees) {
    QString out =
        QStringLiteral("digraph plan {\n"
                       "  rankdir=LR;\n  nodesep=0.15;\n  ranksep=0.6;\n"
                       "  node [shape=box, style=\"rounded,filled\", fontname=\"Helvetica\", fontsize=10];\n"
                       "  edge [fontname=\"Helvetica\", fontsize=9];\n");
    for (const FlowLayout& tree : trees) {
        if (tree.boxes().empty()) continue;
        out += QStringLiteral("  subgraph cluster_") % QString::number(tree.tree()) % QStringLiteral(" {\n") %
               QStringLiteral("    label=\"") % dotText(tree.boxes().front().title) %
               QStringLiteral("\";\n    color=\"#b0bec5\";\n");
        for (int i = 0; i < int(tree.boxes().size()); ++i) {
            const PlanBox& b = tree.boxes()[size_t(i)];
            QString label = dotText(b.title);
            for (const QString& line : b.lines)
                label += QStringLiteral("\\n") % dotText(line);
            const BoxColours c = boxColours(b.kind, b.state);
            out += QStringLiteral("    ") % boxName(tree, i) % QStringLiteral(" [label=\"") % label %
                   QStringLiteral("\", fillcolor=\"") % QLatin1String(c.fill) %
                   QStringLiteral("\", color=\"") % QLatin1String(c.stroke) %
                   QStringLiteral("\", fontcolor=\"") % QLatin1String(c.text) % QStringLiteral("\"];\n");
        }
        out += QStringLiteral("  }\n");
        for (const PlanArrow& a : tree.arrows()) {
            QString attributes = QStringLiteral("label=\"") % dotText(a.label) %
                                 QStringLiteral("\", color=\"") % QLatin1String(arrowColour(a)) %
                                 QLatin1Char('"');
            if (a.dashed) attributes += QStringLiteral(", style=dashed");
            // A jump must not pull its target into another column.
            if (a.jump) attributes += QStringLiteral(", constraint=false");
            out += QStringLiteral("  ") % boxName(tree, a.from) % QStringLiteral(" -> ") %
                   boxName(tree, a.to) % QStringLiteral(" [") % attributes % QStringLiteral("];\n");
        }
    }
    out += QStringLiteral("}\n");
    return out;
}

} // namespace flow
