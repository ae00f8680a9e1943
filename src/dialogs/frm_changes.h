#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// What changed between two trees, one line per change, under a sentence that says which trees; with no
// line, the sentence alone says that they behave the same.
class FrmChanges final : public QDialog {
    Q_OBJECT
public:
    explicit FrmChanges(const QString& closeCaption, QWidget* parent = nullptr);

    void showChanges(const QString& title, const QString& heading, const QStringList& lines);
    QString heading() const;
    QStringList lines() const;

private:
    QLabel* lblEntete = nullptr;
    QListWidget* lstChanges = nullptr;
    QPushButton* cmdFermer = nullptr;
};
