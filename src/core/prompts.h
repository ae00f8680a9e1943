#pragma once

#include <QString>
#include <QStringList>

// Every message box, confirmation and file dialog goes through this interface: the editor shows real
// boxes, tests answer from a script, and nothing deep in the program ever blocks on a modal box.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompts() = default;

    // Message box with the critical icon and an OK button.
    virtual void critical(const QString& text, const QString& title) = 0;
    // Message box with the information icon.
    virtual void information(const QString& text, const QString& title) = 0;
    // Yes/No question, question icon, No is the default button.
    virtual Answer question(const QString& text, const QString& title) = 0;
    // Yes/No/Cancel question, question icon.
    virtual Answer questionWithCancel(const QString& text, const QString& title) = 0;
    // Yes/No question as above with a remark under the question and, behind a "Details" button, a longer
    // text (none when empty).
    virtual Answer questionWithDetails(const QString& text, const QString& title, const QString& remark,
                                       const QString& details) = 0;
    // A question with buttons of the caller's own (question icon); the index of the button chosen.
    // Closing the box counts as escapeButton.
    virtual int choose(const QString& text, const QString& title, const QStringList& buttons,
                       int defaultButton, int escapeButton) = 0;
    // File dialogs; "" when cancelled. filter is a Qt filter ("Arbres (*.maa)").
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
};

// A prompt that only records what it was asked, answering from a queue (No / "" once it is empty).
// Headless tools and tests use it.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString kind; // "critical", "information", "question", "choice", "open", "save"
        QString text; // the message; the folder a file dialog opens in
        QString title;
        QString remark = {};  // questionWithDetails only; the buttons of a choice, separated by "|"
        QString details = {}; // the same
    };

    QList<Shown> shown;
    QList<Answer> answers;
    QList<int> choices; // answers of choose(), its escape button once empty
    QStringList fileNames;

    void critical(const QString& text, const QString& title) override {
        shown.append({QStringLiteral("critical"), text, title});
    }
    void information(const QString& text, const QString& title) override {
        shown.append({QStringLiteral("information"), text, title});
    }
    Answer question(const QString& text, const QString& title) override {
        shown.append({QStringLiteral("question"), text, title});
        return answers.isEmpty() ? Answer::No : answers.takeFirst();
    }
    Answer questionWithCancel(const QString& text, const QString& title) override {
        shown.append({QStringLiteral("question"), text, title});
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    Answer questionWithDetails(const QString& text, const QString& title, const QString& remark,
                               const QString& details) override {
        shown.append({QStringLiteral("question"), text, title, remark, details});
        return answers.isEmpty() ? Answer::No : answers.takeFirst();
    }
    int choose(const QString& text, const QString& title, const QStringList& buttons, int,
               int escapeButton) override {
        shown.append({QStringLiteral("choice"), text, title, buttons.join(QLatin1Char('|'))});
        return choices.isEmpty() ? escapeButton : choices.takeFirst();
    }
    QString openFileName(const QString& title, const QString& folder, const QString&) override {
        shown.append({QStringLiteral("open"), folder, title});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString saveFileName(const QString& title, const QString&, const QString&) override {
        shown.append({QStringLiteral("save"), QString(), title});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
};
