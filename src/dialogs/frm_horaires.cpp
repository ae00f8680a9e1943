#include "dialogs/frm_horaires.h"

#include "core/profile_file.h"
#include "core/prompts.h"
#include "core/translation.h"
#include "model/schedule_value.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kHourItems = 24;
constexpr int kMinuteItems = 60;

// The grid: day captions, the first range in columns 1..4, a gap, the second range in 6..9.
constexpr int kFirstRangeColumn = 1;
constexpr int kSecondRangeColumn = 6;
constexpr int kHeaderRows = 2;

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

QString indexedName(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

// The list position of a text, ignoring case; -1 when absent.
int findListIndex(const QComboBox* list, const QString& text) {
    return list->findText(text, Qt::MatchFixedString);
}

} // namespace

FrmHoraires::FrmHoraires(const Translation& translation, Schedules& schedules, Prompts& prompts,
                         QString& repCourant, DialogHooks hooks, QWidget* parent)
    : QDialog(parent), m_translation(translation), m_schedules(schedules), m_prompts(prompts),
      m_repCourant(repCourant), m_hooks(std::move(hooks)), m_copy(schedules) {
    setObjectName(QStringLiteral("frmHoraires"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    buildControls(translation);
    layoutControls(translation);
    QApplication::restoreOverrideCursor();
}

FrmHoraires::DayCombos FrmHoraires::makeDayCombos(const QString& name, int itemCount) {
    DayCombos combos{};
    for (int d = 0; d < 7; ++d) {
        auto* list = new QComboBox(this);
        list->setObjectName(indexedName(name, d));
        list->addItem(schedule_value::blankField());
        for (int n = 0; n < itemCount; ++n)
            list->addItem(twoDigits(n));
        list->setMaxVisibleItems(13);
        connect(list, &QComboBox::currentIndexChanged, this, &FrmHoraires::onTimeListChanged);
        combos[size_t(d)] = list;
    }
    return combos;
}

void FrmHoraires::buildControls(const Translation& t) {
    lblHoraires = new QLabel(t.getLabel(QStringLiteral("HorairePlage")) + QStringLiteral(" :"), this);
    lblHoraires->setObjectName(QStringLiteral("lblHoraires"));
    cboHoraires = new QComboBox(this);
    cboHoraires->setObjectName(QStringLiteral("cboHoraires"));
    const QString plage = t.getLabel(QStringLiteral("HorairePlage"));
    for (int n = 1; n <= int(m_schedules.size()); ++n)
        cboHoraires->addItem(plage + QStringLiteral(" n°") + QString::number(n));
    connect(cboHoraires, &QComboBox::currentIndexChanged, this, &FrmHoraires::showSchedule);

    for (int d = 0; d < 7; ++d) {
        lblJour[size_t(d)] = new QLabel(t.getLabel(QStringLiteral("J") + QString::number(d + 1)), this);
        lblJour[size_t(d)]->setObjectName(indexedName(QStringLiteral("lblJour"), d));
    }
    cboHeureDeb = makeDayCombos(QStringLiteral("cboHeureDeb"), kHourItems);
    cboMinuteDeb = makeDayCombos(QStringLiteral("cboMinuteDeb"), kMinuteItems);
    cboHeureFin = makeDayCombos(QStringLiteral("cboHeureFin"), kHourItems);
    cboMinuteFin = makeDayCombos(QStringLiteral("cboMinuteFin"), kMinuteItems);
    cboHeureDebBis = makeDayCombos(QStringLiteral("cboHeureDebBis"), kHourItems);
    cboMinuteDebBis = makeDayCombos(QStringLiteral("cboMinuteDebBis"), kMinuteItems);
    cboHeureFinBis = makeDayCombos(QStringLiteral("cboHeureFinBis"), kHourItems);
    cboMinuteFinBis = makeDayCombos(QStringLiteral("cboMinuteFinBis"), kMinuteItems);

    cmdLoadButton = new QPushButton(t.getLabel(QStringLiteral("HoraireLoad")), this);
    cmdLoadButton->setObjectName(QStringLiteral("cmdLoad"));
    cmdLoadButton->setAutoDefault(false);
    cmdFermerButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                      t.getLabel(QStringLiteral("BoutonOK")), this);
    cmdFermerButton->setObjectName(QStringLiteral("cmdFermer"));
    cmdFermerButton->setDefault(true);
    cmdEchapButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     t.getLabel(QStringLiteral("BoutonEchap")), this);
    cmdEchapButton->setObjectName(QStringLiteral("cmdEchap"));
    cmdEchapButton->setAutoDefault(false);
    connect(cmdLoadButton, &QPushButton::clicked, this, &FrmHoraires::cmdLoad);
    connect(cmdFermerButton, &QPushButton::clicked, this, &FrmHoraires::cmdFermer);
    connect(cmdEchapButton, &QPushButton::clicked, this, &FrmHoraires::cmdEchap);
}

void FrmHoraires::layoutControls(const Translation& t) {
    auto* top = new QHBoxLayout;
    top->addWidget(lblHoraires);
    top->addWidget(cboHoraires);
    top->addStretch(1);
    top->addWidget(cmdLoadButton);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setColumnMinimumWidth(kSecondRangeColumn - 1, 24);
    int labelIndex = 0;
    for (int firstColumn : {kFirstRangeColumn, kSecondRangeColumn}) {
        const int range = labelIndex;
        auto* startLabel = new QLabel(t.getLabel(QStringLiteral("Debut")), this);
        startLabel->setObjectName(indexedName(QStringLiteral("lblDebut"), range));
        auto* fin = new QLabel(t.getLabel(QStringLiteral("Fin")), this);
        fin->setObjectName(indexedName(QStringLiteral("lblFin"), range));
        grid->addWidget(startLabel, 0, firstColumn, 1, 2, Qt::AlignCenter);
        grid->addWidget(fin, 0, firstColumn + 2, 1, 2, Qt::AlignCenter);
        for (int c = 0; c < 4; c += 2) {
            const int column = range * 2 + c / 2;
            auto* heure = new QLabel(t.getLabel(QStringLiteral("Heure")), this);
            heure->setObjectName(indexedName(QStringLiteral("lblHeure"), column));
            auto* minute = new QLabel(t.getLabel(QStringLiteral("Minute")), this);
            minute->setObjectName(indexedName(QStringLiteral("lblMinute"), column));
            grid->addWidget(heure, 1, firstColumn + c, Qt::AlignCenter);
            grid->addWidget(minute, 1, firstColumn + c + 1, Qt::AlignCenter);
        }
        ++labelIndex;
    }
    // A rule between the two ranges of the day.
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::VLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 0, kSecondRangeColumn - 1, kHeaderRows + 7, 1, Qt::AlignHCenter);
    for (int d = 0; d < 7; ++d) {
        const int row = kHeaderRows + d;
        grid->addWidget(lblJour[size_t(d)], row, 0);
        const auto lists = dayCombos(d);
        for (int i = 0; i < 4; ++i) {
            grid->addWidget(lists[size_t(i)], row, kFirstRangeColumn + i);
            grid->addWidget(lists[size_t(i + 4)], row, kSecondRangeColumn + i);
        }
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFermerButton);
    buttons->addWidget(cmdEchapButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(8);
    main->addLayout(grid);
    main->addSpacing(12);
    main->addStretch(1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

std::array<QComboBox*, 8> FrmHoraires::dayCombos(int d) const {
    const auto i = size_t(d);
    return {cboHeureDeb[i],    cboMinuteDeb[i],    cboHeureFin[i],    cboMinuteFin[i],
            cboHeureDebBis[i], cboMinuteDebBis[i], cboHeureFinBis[i], cboMinuteFinBis[i]};
}

void FrmHoraires::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) activate();
}

void FrmHoraires::activate() {
    m_modified = false;
    cmdEchapButton->setEnabled(true);
    m_copy = m_schedules;
    m_current = 0;
    if (cboHoraires->currentIndex() == 0)
        showSchedule(0);
    else
        cboHoraires->setCurrentIndex(0); // shows it through the selection handler
}

void FrmHoraires::modifHoraires() {
    if (m_current == 0) return;
    Schedule& schedule = m_copy[size_t(m_current - 1)];
    for (int d = 0; d < 7; ++d) {
        const auto lists = dayCombos(d);
        schedule_value::DayTimes times;
        // The texts as shown: "  " for a blank field, "" for a list with no selection.
        for (size_t i = 0; i < 4; ++i) {
            times.first[i] = lists[i]->currentText();
            times.second[i] = lists[i + 4]->currentText();
        }
        schedule.days[size_t(d)].value = schedule_value::formatDayValue(times);
    }
}

void FrmHoraires::showSchedule(int index) {
    if (index < 0) return;
    modifHoraires();
    m_current = index + 1;
    const Schedule& schedule = m_copy[size_t(index)];
    m_showing = true;
    for (int d = 0; d < 7; ++d) {
        const QString& value = schedule.days[size_t(d)].value;
        const auto times = schedule_value::parseDayValue(value);
        const bool twoRanges = value.size() == schedule_value::kTwoRangesLength;
        const auto lists = dayCombos(d);
        for (size_t i = 0; i < 4; ++i) {
            lists[i]->setCurrentIndex(findListIndex(lists[i], times.first[i]));
            lists[i + 4]->setCurrentIndex(twoRanges ? findListIndex(lists[i + 4], times.second[i]) : 0);
        }
    }
    m_showing = false;
}

void FrmHoraires::onTimeListChanged() {
    if (!m_showing) m_modified = true;
}

void FrmHoraires::cmdFermer() {
    if (m_modified) {
        modifHoraires();
        m_schedules = m_copy;
        m_hooks.changed(QStringLiteral("HistoHoraires"));
    }
    accept();
}

void FrmHoraires::cmdEchap() {
    reject();
}

void FrmHoraires::cmdLoad() {
    const QString path =
        m_prompts.openFileName(cmdLoadButton->text(), m_repCourant, QStringLiteral("*.maa (*.maa)"));
    if (path.isEmpty()) return;
    const QFileInfo chosen(path);
    m_repCourant = chosen.absolutePath();
    if (!chosen.exists()) return;
    importSchedules(ProfileFile::load(path), m_copy);
    // The imported schedules replace what was shown; OK writes them back.
    m_modified = true;
    m_current = 0;
    showSchedule(cboHoraires->currentIndex());
}
