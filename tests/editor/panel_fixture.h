#pragma once

// A panel area on a hand-built configuration, with a host that records what the window is asked to do.

#include "editor/node_panels.h"
#include "editor/panel_host.h"
#include "model/example_tree.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <gtest/gtest.h>
#include <memory>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{' << l.join(QStringLiteral(" | ")).toStdString() << '}';
}

class RecordingHost : public PanelHost {
public:
    QStringList steps;     // labels given to addCancel
    QList<bool> saveMarks; // setBoolSave arguments
    QStringList selected;  // nodes selected in the view
    QStringList pickers;   // "announcement:title" or "trf:title" / "bvo:title"
    QLineEdit* pickerTarget = nullptr;

    void setBoolSave(bool saved) override { saveMarks << saved; }
    void addCancel(const QString& label, bool) override { steps << label; }
    void selectNode(const QString& key) override { selected << key; }
    void openAnnouncementPicker(const QString& title, QLineEdit* target) override {
        pickers << QStringLiteral("announcement:") + title;
        pickerTarget = target;
    }
    void openStationPicker(const QString& title, const QString& code, QLineEdit* target) override {
        pickers << code + QLatin1Char(':') + title;
        pickerTarget = target;
    }
};

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        example::setUpContext(ctx, 1);
        example::workedExample(config, ctx);
    }
    // Builds the panels; call after changing ctx or config.
    NodePanels& panels() {
        if (!m_panels) {
            m_panels = std::make_unique<NodePanels>(config, ctx, host);
            m_panels->resize(520, 760);
            m_panels->show();
        }
        return *m_panels;
    }
    template <typename T> T* get(const QString& name) {
        T* w = panels().findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* edit(const QString& name) { return get<QLineEdit>(name); }
    QComboBox* combo(const QString& name) { return get<QComboBox>(name); }
    QLabel* label(const QString& name) { return get<QLabel>(name); }
    bool shown(const QString& name) { return get<QWidget>(name)->isVisible(); }
    void click(const QString& key) { panels().treeV_NodeClick(key); }
    // What a user's choice in a list does.
    void choose(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void chooseAt(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QString value(const QString& section, int index) { return config.sections.value(section, index); }
    QString nodeText(const QString& key) {
        const TreeNode* n = config.nodes.nodeByKey(key);
        return n ? n->text : QStringLiteral("<no node>");
    }
    QString nodeImage(const QString& key) {
        const TreeNode* n = config.nodes.nodeByKey(key);
        return n ? n->image : QStringLiteral("<no node>");
    }
    int colour(const QString& name) {
        const QColor c = label(name)->palette().color(QPalette::WindowText);
        return c.red() + 256 * c.green() + 65536 * c.blue();
    }
    int visiblePanel() {
        int found = -1;
        for (int i = 0; i < 3; ++i)
            if (shown(QStringLiteral("picNoeud_%1").arg(i))) found = found == -1 ? i : 99;
        return found;
    }

    AppContext ctx;
    Configuration config;
    RecordingHost host;

private:
    std::unique_ptr<NodePanels> m_panels;
};
