#include "ActiveAlarmsUnit.h"

#include "AlarmStates.h"
#include "MainTexts.h"
#include "PrivateProfile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QString moment(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : QString();
}
} // namespace

const QColor& TActiveAlarmsForm::activeColour() {
    static const QColor c(0xFF, 0x00, 0x00);
    return c;
}

const QColor& TActiveAlarmsForm::clearedColour() {
    static const QColor c(0x80, 0x00, 0x00);
    return c;
}

TActiveAlarmsForm::TActiveAlarmsForm(AlarmStates& states, const QString& langFilePath,
                                     Acknowledged acknowledged, QWidget* parent)
    : QWidget(parent), states_(states), acknowledged_(std::move(acknowledged)) {
    setObjectName(QStringLiteral("ActiveAlarmsForm"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    labName = new QLabel(this);
    labName->setObjectName(QStringLiteral("labName"));
    QFont bold = labName->font();
    bold.setBold(true);
    labName->setFont(bold);
    column->addWidget(labName);

    grdAlarms = new QTableWidget(0, 4, this);
    grdAlarms->setObjectName(QStringLiteral("grdAlarms"));
    grdAlarms->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAlarms->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAlarms->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdAlarms->verticalHeader()->hide();
    grdAlarms->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    grdAlarms->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    grdAlarms->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grdAlarms->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    column->addWidget(grdAlarms, 1);

    auto* buttons = new QHBoxLayout;
    btnAck = new QPushButton(this);
    btnAck->setObjectName(QStringLiteral("btnAck"));
    btnAckAll = new QPushButton(this);
    btnAckAll->setObjectName(QStringLiteral("btnAckAll"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    buttons->addWidget(btnAck);
    buttons->addWidget(btnAckAll);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    column->addLayout(buttons);
    connect(btnAck, &QPushButton::clicked, this, &TActiveAlarmsForm::btnAckClick);
    connect(btnAckAll, &QPushButton::clicked, this, &TActiveAlarmsForm::btnAckAllClick);
    connect(btnClose, &QPushButton::clicked, this, [this] {
        // Closes the frame that holds the window inside the main window, or the window itself.
        (parentWidget() && parentWidget()->inherits("QMdiSubWindow") ? parentWidget() : this)
            ->close();
    });
    // Space acknowledges the selected rows wherever the focus is in the window.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, &TActiveAlarmsForm::btnAckClick);

    RefreshTimer = new QTimer(this);
    RefreshTimer->setObjectName(QStringLiteral("RefreshTimer"));
    RefreshTimer->setInterval(500);
    connect(RefreshTimer, &QTimer::timeout, this, &TActiveAlarmsForm::RefreshTimerTimer);
    RefreshTimer->start();

    LoadLanguage(langFilePath);
}

void TActiveAlarmsForm::LoadLanguage(const QString& langFilePath) {
    texts_ = langFilePath.isEmpty() ? AlarmTexts::defaults()
                                    : AlarmTexts::load(PrivateProfile(langFilePath));
    setWindowTitle(texts_.ActiveAlarmsForm);
    labName->setText(texts_.ActiveAlarmsForm);
    grdAlarms->setHorizontalHeaderLabels(
        {texts_.colCame, texts_.colCleared, texts_.colText, texts_.colState});
    btnAck->setText(texts_.btnAck);
    btnAckAll->setText(texts_.btnAckAll);
    btnClose->setText(texts_.btnClose);
    shown_ = ~std::uint64_t(0); // the rows' texts too
    fill();
}

void TActiveAlarmsForm::RefreshTimerTimer() {
    if (states_.revision() != shown_)
        fill();
}

void TActiveAlarmsForm::fill() {
    shown_ = states_.revision();
    const auto main = MainTextStore::get();
    // The selection follows the alarms, not the row numbers.
    std::vector<int> selected;
    for (const QModelIndex& i : grdAlarms->selectionModel()->selectedRows())
        if (i.row() < int(rowIds_.size()))
            selected.push_back(rowIds_[std::size_t(i.row())]);
    const std::vector<AlarmEntry> list = states_.list();
    grdAlarms->setRowCount(int(list.size()));
    rowIds_.clear();
    grdAlarms->clearSelection();
    for (int r = 0; r < int(list.size()); ++r) {
        const AlarmEntry& e = list[std::size_t(r)];
        rowIds_.push_back(e.id);
        const QString state = e.state == AlarmState::ActiveUnacknowledged    ? texts_.stActive
                              : e.state == AlarmState::ClearedUnacknowledged ? texts_.stCleared
                                                                             : texts_.stAcked;
        const QColor colour = e.state == AlarmState::ActiveUnacknowledged    ? activeColour()
                              : e.state == AlarmState::ClearedUnacknowledged ? clearedColour()
                                                                             : QColor(Qt::black);
        const QString cells[4] = {moment(e.came), moment(e.cleared), AlarmStates::text(e.id, *main),
                                  state};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setForeground(colour);
            grdAlarms->setItem(r, c, item);
        }
        if (std::find(selected.begin(), selected.end(), e.id) != selected.end())
            grdAlarms->selectRow(r);
    }
}

void TActiveAlarmsForm::btnAckClick() {
    std::vector<int> ids;
    for (const QModelIndex& i : grdAlarms->selectionModel()->selectedRows())
        if (i.row() < int(rowIds_.size()))
            ids.push_back(rowIds_[std::size_t(i.row())]);
    const QDateTime now = QDateTime::currentDateTime();
    std::vector<int> done;
    for (int id : ids)
        if (states_.acknowledge(id, now, texts_.lngOperator))
            done.push_back(id);
    if (!done.empty() && acknowledged_)
        acknowledged_(done);
    fill();
}

void TActiveAlarmsForm::btnAckAllClick() {
    const std::vector<int> done =
        states_.acknowledgeAll(QDateTime::currentDateTime(), texts_.lngOperator);
    if (!done.empty() && acknowledged_)
        acknowledged_(done);
    fill();
}
