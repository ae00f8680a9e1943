#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class Prompts;
struct AppContext;

// Common frame of the station and announcement pickers: a report list, OK and Escape buttons, and the
// text box the chosen value goes to. The value is written with setText so that the box's own change
// handler stores it and records the undo step, exactly as if it had been typed.
class PickerDialog : public QDialog {
    Q_OBJECT
public:
    // Writes the value of the selected row into the target box and closes the window; does nothing and
    // returns false when no row is selected.
    bool choose();

    QTreeWidget* list() const { return m_list; }
    QPushButton* okButton() const { return m_cmdOK; }
    QPushButton* escapeButton() const { return m_cmdEchap; }

protected:
    PickerDialog(const AppContext& ctx, QLineEdit* target, const QString& listName, QWidget* parent);

    // The value a row gives to the target box.
    virtual QString valueOf(int row) const = 0;
    // Headers of the number and name columns: labels "LblNumero" and "LblNom" when the translation file
    // has them, else "N°" and none.
    static QStringList numberAndNameHeaders(const AppContext& ctx);
    // Column width from twips, the unit the window sizes are given in.
    int twips(int value) const;

private:
    QTreeWidget* m_list = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdEchap = nullptr;
    QPointer<QLineEdit> m_target;
};

// The label of key, or fallback when the translation file lacks it.
QString optionalLabel(const AppContext& ctx, const QString& key, const QString& fallback);

// In local mode without a server information file the lists are empty: the user is told where they come
// from instead of being shown an empty picker.
void sayListsComeFromServer(const AppContext& ctx, Prompts& prompts);

// A field caption such as "Transfer :" turned into a picker title: the ":" removed, outer blanks too.
QString captionWithoutColon(const QString& caption);
