#pragma once

#include "dialogs/dialog_hooks.h"
#include "model/fixed_tables.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class Translation;

// The general-parameters window: one caption and one text field per parameter, built from the
// table. Numeric parameters are kept to digits; OK writes the fields back when one was changed.
class FrmGeneral : public QDialog {
    Q_OBJECT
public:
    FrmGeneral(const Translation& translation, GeneralParams& params, DialogHooks hooks,
               QWidget* parent = nullptr);

    // Starts a session: focus to the first field, nothing changed yet (done when the window shows).
    void activate();

    void cmdFermer();
    void cmdEchap();

    bool isModified() const { return m_modified; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildRows(const Translation& translation);
    // The field's text as its parameter keeps it: digits only for a numeric one.
    static QString fieldValue(const QLineEdit* field);
    static bool isNumericField(const QLineEdit* field);

    GeneralParams& m_params;
    DialogHooks m_hooks;
    bool m_modified = false;

    // Row i of the table (1-based) is element i - 1; object names carry the row number.
    QList<QLabel*> lblCaption;
    QList<QLineEdit*> txtParam;
    QPushButton* cmdFermerButton = nullptr;
    QPushButton* cmdEchapButton = nullptr;
};
