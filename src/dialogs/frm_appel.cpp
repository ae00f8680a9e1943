#include "dialogs/frm_appel.h"

#include "core/app_context.h"
#include "model/configuration.h"
#include "startup/qt_catalog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr char kKeypad[] = "123456789*0#";

// How a step reads in the list: the caller's moves stand out, the end of the call is plain to see, and
// what the configuration leaves open is marked as such.
void styleStep(QListWidgetItem& item, flow::CallStep::Kind kind) {
    QFont font = item.font();
    switch (kind) {
    case flow::CallStep::Key:
    case flow::CallStep::Silence:
        font.setBold(true);
        item.setForeground(QColor(0x1f, 0x3d, 0x7a));
        break;
    case flow::CallStep::Destination:
    case flow::CallStep::Exit:
        font.setBold(true);
        item.setForeground(QColor(0x1b, 0x6e, 0x20));
        break;
    case flow::CallStep::Undefined:
        item.setForeground(QColor(0xb3, 0x4a, 0x00));
        break;
    case flow::CallStep::Waiting:
    case flow::CallStep::Ignored:
        font.setItalic(true);
        item.setForeground(QColor(0x70, 0x70, 0x70));
        break;
    default:
        break;
    }
    item.setFont(font);
}

} // namespace

FrmAppel::FrmAppel(const Configuration& config, const AppContext& ctx, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_config(config), m_ctx(ctx), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmAppel"));
    setWindowTitle(label("CallTitle"));

    cboArbre = new QComboBox(this);
    cboArbre->setObjectName(QStringLiteral("cboArbre"));
    dtpMoment = new QDateTimeEdit(QDateTime::currentDateTime(), this);
    dtpMoment->setObjectName(QStringLiteral("dtpMoment"));
    // The day's name matters to the schedules: it is shown with the date.
    dtpMoment->setDisplayFormat(QStringLiteral("dddd dd/MM/yyyy  HH:mm"));
    dtpMoment->setCalendarPopup(true);
    // Days and months in the language of the captions, as the steps name them.
    dtpMoment->setLocale(QLocale(languageOfTranslation(ctx.translation)));

    auto* pad = new QGridLayout;
    pad->setSpacing(6);
    for (int i = 0; i < 12; ++i) {
        const QChar key = QLatin1Char(kKeypad[i]);
        auto* b = new QPushButton(key, this);
        b->setObjectName(QStringLiteral("cmdTouche_") + QString::number(i));
        b->setFixedSize(56, 40);
        QFont f = b->font();
        f.setPointSizeF(f.pointSizeF() * 1.3);
        f.setBold(true);
        b->setFont(f);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, key] { play({flow::CallEvent::Key, key}); });
        cmdTouche[size_t(i)] = b;
        pad->addWidget(b, i / 3, i % 3);
    }
    const auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdSilence = makeButton("cmdSilence", label("EventSilence"));
    cmdEchec = makeButton("cmdEchec", label("EventFail"));
    cmdRecommencer = makeButton("cmdRecommencer", label("CallRestart"));
    cmdFermer = makeButton("cmdFermer", label("CallClose"));
    connect(cmdSilence, &QPushButton::clicked, this, [this] { play({flow::CallEvent::Silence, {}}); });
    connect(cmdEchec, &QPushButton::clicked, this, [this] { play({flow::CallEvent::TransferFails, {}}); });
    connect(cmdRecommencer, &QPushButton::clicked, this, [this] { startCall(tree()); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);

    lblTouches = new QLabel(this);
    lblTouches->setObjectName(QStringLiteral("lblTouches"));
    lblTouches->setWordWrap(true);
    lstEtapes = new QListWidget(this);
    lstEtapes->setObjectName(QStringLiteral("lstEtapes"));
    lstEtapes->setWordWrap(true);
    lstEtapes->setAlternatingRowColors(true);
    lstEtapes->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstEtapes->setSpacing(1);
    connect(lstEtapes, &QListWidget::currentRowChanged, this, [this](int row) { chooseStep(row); });
    // A click on the chosen step shows its node again, as the tree view does.
    connect(lstEtapes, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = lstEtapes->row(item);
        chooseStep(row);
    });
    connect(cboArbre, &QComboBox::activated, this, [this] { startCall(tree()); });
    connect(dtpMoment, &QDateTimeEdit::dateTimeChanged, this, [this] {
        walk();
        showSteps();
    });

    auto* call = new QFormLayout;
    call->addRow(label("CallTree"), cboArbre);
    call->addRow(label("CallMoment"), dtpMoment);

    auto* moves = new QGroupBox(label("CallCaller"), this);
    auto* movesColumn = new QVBoxLayout(moves);
    movesColumn->addLayout(pad);
    movesColumn->addWidget(cmdSilence);
    movesColumn->addWidget(cmdEchec);
    movesColumn->addSpacing(6);
    movesColumn->addWidget(lblTouches);
    movesColumn->addStretch(1);
    movesColumn->addWidget(cmdRecommencer);

    auto* left = new QVBoxLayout;
    left->addWidget(moves);

    auto* stepsBox = new QGroupBox(label("CallSteps"), this);
    (new QVBoxLayout(stepsBox))->addWidget(lstEtapes);

    auto* right = new QVBoxLayout;
    right->addWidget(stepsBox, 3);
    right->addWidget(makeScenarioBox(), 2);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFermer);

    auto* main = new QVBoxLayout(this);
    main->addLayout(call);
    main->addLayout(body, 1);
    main->addLayout(buttons);
    resize(780, 660);

    fillTrees();
    startCall(1);
}

QString FrmAppel::label(const char* key) const {
    return m_ctx.translation.getLabel(QStringLiteral("FLOW"), QString::fromLatin1(key));
}

void FrmAppel::fillTrees() {
    const QString treeName = label("DiffTree");
    cboArbre->clear();
    for (int n = 1; n <= 5; ++n) {
        const QString key = QLatin1Char('A') + QString::number(n);
        if (!m_config.nodes.noeudExiste(key)) continue;
        const QString name = m_config.sections.value(key, TreeValue::lib);
        cboArbre->addItem(name.isEmpty() ? treeName.arg(n) : treeName.arg(n) + QStringLiteral(" - ") + name,
                          n);
    }
}

int FrmAppel::tree() const {
    return cboArbre->currentData().isValid() ? cboArbre->currentData().toInt() : 1;
}

void FrmAppel::startCall(int tree) {
    fillTrees();
    cboArbre->setCurrentIndex(std::max(0, cboArbre->findData(tree)));
    m_events.clear();
    walk();
    // A new call leaves the tree view where the user was.
    const QSignalBlocker quiet(lstEtapes);
    showSteps();
    lstEtapes->setCurrentRow(int(m_steps.size()) - 1);
}

void FrmAppel::play(const flow::CallEvent& event) {
    m_events.append(event);
    walk();
    showSteps();
    if (m_steps.isEmpty()) return;
    {
        const QSignalBlocker quiet(lstEtapes);
        lstEtapes->setCurrentRow(int(m_steps.size()) - 1);
    }
    lstEtapes->scrollToBottom();
    chooseStep(int(m_steps.size()) - 1);
}

void FrmAppel::chooseStep(int row) {
    if (row < 0 || row >= m_steps.size()) return;
    emit nodeChosen(m_steps[row].nodeKey);
    // A tree's exit and the steps it leads to, up to a menu, show that exit.
    for (int r = row; r >= 0; --r) {
        const flow::CallStep& step = m_steps[r];
        if (step.kind == flow::CallStep::Menu || step.kind == flow::CallStep::Tree) return;
        if (step.kind != flow::CallStep::Exit) continue;
        emit exitChosen(step.nodeKey, step.exit);
        return;
    }
}

void FrmAppel::refresh() {
    const int row = lstEtapes->currentRow();
    const int chosen = tree();
    fillTrees();
    cboArbre->setCurrentIndex(std::max(0, cboArbre->findData(chosen)));
    walk();
    // Refilling the list moves nothing in the tree view: the user may be editing a node there.
    const QSignalBlocker quiet(lstEtapes);
    showSteps();
    lstEtapes->setCurrentRow(std::min(row, int(m_steps.size()) - 1));
}

void FrmAppel::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Back from editing in the main window: the steps follow what was edited there.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
}

void FrmAppel::walk() {
    // The captions and the server's names are read again: an edit or a new information file shows at once.
    const flow::CallWalker walker(m_config, m_ctx);
    m_steps = walker.walk(tree(), dtpMoment->dateTime(), m_events);
}

void FrmAppel::showSteps() {
    {
        const QSignalBlocker quiet(lstEtapes);
        lstEtapes->clear();
        for (const flow::CallStep& step : m_steps) {
            auto* item = new QListWidgetItem(step.text, lstEtapes);
            item->setToolTip(step.text);
            styleStep(*item, step.kind);
        }
    }
    QStringList moves;
    for (const flow::CallEvent& e : m_events)
        moves << (e.kind == flow::CallEvent::Key       ? QString(e.key)
                  : e.kind == flow::CallEvent::Silence ? label("EventSilence")
                                                       : label("EventFail"));
    lblTouches->setText(moves.isEmpty() ? QString()
                                        : label("CallMoves").arg(moves.join(QStringLiteral(", "))));
    const bool going = m_steps.isEmpty() || (m_steps.back().kind != flow::CallStep::Destination &&
                                             m_steps.back().kind != flow::CallStep::Undefined);
    // Once the call has ended, further moves only say they are ignored: the restart is what is left.
    cmdRecommencer->setDefault(!going);
}
