#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QScrollBar;
class QVBoxLayout;
struct PanelContext;

// What the three detail panels have in common: a header with the node's picture and the panel's
// caption above a frame that scrolls the fields, and the jump lists kept in step with the shared targets.
class DetailPanel : public QWidget {
    Q_OBJECT
public:
    // Fills the panel from the node the shared state names and shows it, scrolled to the top.
    virtual void showNode() = 0;
    // Draws the header picture again with the shared icon provider.
    void refreshImage();

protected:
    // index numbers the controls ("picNoeud_0"...); detailsLabel is the caption's label key, image the
    // picture's image key.
    DetailPanel(PanelContext& shared, int index, const QString& detailsLabel, const QString& image,
                QWidget* parent);

    void setImage(const QString& imageKey);
    // A field caption of the frame: the label key's text followed by " :".
    QLabel* fieldCaption(const char* name, const char* labelKey);
    // Puts the frame below the header.
    void addFrame(int stretch);
    void showAtTop();
    // Makes the lists show the shared jump targets. Lists showing them already are only set back to the
    // first entry: refilling a hundred entries is most of the cost of a node click.
    void fillJumpLists(const std::vector<QComboBox*>& lists);
    // The shared jumpIndex, with a target added there added to the lists too.
    int jumpIndex(const QString& target, const std::vector<QComboBox*>& lists);

    // Handlers the tree and menu panels share: the node's name (also its text in the tree), a field
    // stored as typed, and an announcement picker titled by the field's caption.
    void onNameChanged(const QString& text);
    void onSectionText(int valueIndex, const QString& text);
    void openAnnouncementPicker(QLabel* caption, QLineEdit* target);

    PanelContext& m_shared;
    QVBoxLayout* m_layout = nullptr;
    QHBoxLayout* m_header = nullptr;

    // Controls, named as the design names them.
    QLabel* imgNoeud = nullptr;
    QLabel* lblDetails = nullptr;
    QScrollArea* picBlanc = nullptr;
    QWidget* picToScroll = nullptr;
    QScrollBar* VScrollInfo = nullptr;

private:
    QStringList m_jumpShown; // what the jump lists hold
};
