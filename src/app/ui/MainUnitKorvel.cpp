#include "MainUnitKorvel.h"

#include "AlarmStates.h"
#include "AvariaItemDelegate.h"
#include "BevelPanel.h"
#include "Colours.h"
#include "EventList.h"
#include "EventQueue.h"
#include "Horn.h"
#include "ImageList.h"
#include "Language.h"
#include "MainTexts.h"
#include "OptUnit.h"
#include "PrivateProfile.h"
#include "QtLanguage.h"
#include "SmallForms.h"
#include "Station.h"
#include "Version.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionToolButton>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QColor kPanelGrey(colours::kPanelGrey);

// The tool bars' buttons as the design sizes them: icon and text with four pixels on either
// side. The style's own tool buttons keep more room around their contents than a 547-pixel
// tool bar has for six buttons at the design size.
class TightToolButtons : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* tool = qstyleoption_cast<const QStyleOptionToolButton*>(option);
        if (type == CT_ToolButton && tool && tool->toolButtonStyle == Qt::ToolButtonTextBesideIcon)
            s.setWidth(4 + tool->iconSize.width() + 4 +
                       tool->fontMetrics.horizontalAdvance(tool->text) + 4);
        return s;
    }
};

QFont pixelFont(const QString& family, int px, bool bold = false) {
    QFont f(family);
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}
} // namespace

TMainFormKorvel::TMainFormKorvel(Station& station, const Paths& paths, QWidget* parent,
                                 BeforeStart beforeStart)
    : QMainWindow(parent), station_(station), paths_(paths), beforeStart_(std::move(beforeStart)) {
    setObjectName(QStringLiteral("MainFormKorvel"));
    setWindowTitle(QStringLiteral("Загрузка печей (Korvel)"));
    resize(866, 559);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    createActions();
    createMenus();
    createPanels();
    FormCreate();
}

TMainFormKorvel::~TMainFormKorvel() = default;

QToolButton* TMainFormKorvel::toolButton(QToolBar* bar, const QString& name, int icon) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setIcon(ImageList1::icon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    if (!toolStyle_) {
        toolStyle_ = new TightToolButtons;
        toolStyle_->setParent(this);
    }
    b->setStyle(toolStyle_);
    bar->addWidget(b);
    return b;
}

QToolButton* TMainFormKorvel::toolButton(QToolBar* bar, const QString& name, QAction* command) {
    QToolButton* b = toolButton(bar, name, -1);
    b->setDefaultAction(command);
    return b;
}

void TMainFormKorvel::createActions() {
    auto action = [this](const QString& name, int icon, QKeySequence key, auto slot) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        if (icon >= 0)
            a->setIcon(ImageList1::icon(icon));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuTabZad = action(QStringLiteral("mnuTabZad"), ImageList1::TaskTable, Qt::Key_F1,
                       [this] { openView(View::TabZad); });
    mnuMnemo = action(QStringLiteral("mnuMnemo"), ImageList1::Mimic, Qt::Key_F2,
                      [this] { openView(View::Mnemo); });
    mnuHistory = action(QStringLiteral("mnuHistory"), ImageList1::History, Qt::Key_F3,
                        [this] { openView(View::History); });
    mnuJurnal = action(QStringLiteral("mnuJurnal"), ImageList1::Journal, Qt::Key_F4,
                       [this] { openView(View::Jurnal); });
    mnuProtocol = action(QStringLiteral("mnuProtocol"), ImageList1::Protocol, Qt::Key_F5,
                         [this] { openView(View::Protocol); });
    mnuRaport = action(QStringLiteral("mnuRaport"), ImageList1::Report, Qt::Key_F6,
                       [this] { btnRaportClick(); });
    mnuAlarms =
        action(QStringLiteral("mnuAlarms"), -1, Qt::Key_F7, [this] { openView(View::Alarms); });
    mnuHornOff =
        action(QStringLiteral("mnuHornOff"), -1, Qt::Key_F8, [this] { btnHornOffClick(); });
    // F9 acknowledges every alarm from any window of the station, dialogs included.
    mnuAckAll = action(QStringLiteral("mnuAckAll"), -1, Qt::Key_F9, [this] { acknowledgeAll(); });
    mnuAckAll->setShortcutContext(Qt::ApplicationShortcut);
    addActions({mnuHornOff, mnuAckAll});
    mnuOptions = action(QStringLiteral("mnuOptions"), ImageList1::Settings, {},
                        [this] { mnuOptionsClick(); });
    mnuExit = action(QStringLiteral("mnuExit"), ImageList1::Exit, {}, [this] { close(); });
    // Help has no action.
    mnuSprav = action(QStringLiteral("mnuSprav"), ImageList1::Help, {}, [] {});
    mnuAbout = action(QStringLiteral("mnuAbout"), -1, {}, [this] { mnuAboutClick(); });
}

void TMainFormKorvel::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    mnuComands = bar->addMenu(QString());
    mnuComands->setObjectName(QStringLiteral("mnuComands"));
    mnuComands->addActions(
        {mnuTabZad, mnuMnemo, mnuHistory, mnuJurnal, mnuProtocol, mnuRaport, mnuAlarms});
    mnuService = bar->addMenu(QString());
    mnuService->setObjectName(QStringLiteral("mnuService"));
    mnuService->addAction(mnuOptions);
    mnuLanguage = mnuService->addMenu(QString());
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    mnuLanguage->setEnabled(false);
    mnuOut = bar->addMenu(QString());
    mnuOut->setObjectName(QStringLiteral("mnuOut"));
    mnuOut->addAction(mnuExit);
    mnuHelp = bar->addMenu(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->addActions({mnuSprav, mnuAbout});
}

void TMainFormKorvel::createPanels() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Top panel: the view tool bar, then the attention button and the link status panel.
    TopPanel = new QWidget(central);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(25);
    auto* top = new QHBoxLayout(TopPanel);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    ToolBar2 = new QToolBar(TopPanel);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setIconSize(QSize(16, 16));
    ToolBar2->setMovable(false);
    // Each view button runs the menu item's own action: one command, wired once. The button
    // shows the action's icon text (the btn key), the menu its text (the mnu key).
    btnTabZad = toolButton(ToolBar2, QStringLiteral("btnTabZad"), mnuTabZad);
    btnMnemo = toolButton(ToolBar2, QStringLiteral("btnMnemo"), mnuMnemo);
    btnHistory = toolButton(ToolBar2, QStringLiteral("btnHistory"), mnuHistory);
    btnJurnal = toolButton(ToolBar2, QStringLiteral("btnJurnal"), mnuJurnal);
    btnProtocol = toolButton(ToolBar2, QStringLiteral("btnProtocol"), mnuProtocol);
    btnRaport = toolButton(ToolBar2, QStringLiteral("btnRaport"), mnuRaport);
    top->addWidget(ToolBar2, 1);

    btnAttention = new BevelPanel(TopPanel);
    btnAttention->setObjectName(QStringLiteral("btnAttention"));
    btnAttention->setFixedWidth(81);
    btnAttention->setBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised);
    btnAttention->setColor(kPanelGrey);
    btnAttention->setCaptionColor(Qt::white);
    btnAttention->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    btnAttention->setCursor(Qt::PointingHandCursor);
    // Pressed, the inner bevel lowers; released, it rises again: a push button's look.
    connect(btnAttention, &BevelPanel::pressed, this,
            [this] { btnAttention->setInnerBevel(BevelPanel::Bevel::Lowered); });
    connect(btnAttention, &BevelPanel::released, this,
            [this] { btnAttention->setInnerBevel(BevelPanel::Bevel::Raised); });
    connect(btnAttention, &BevelPanel::clicked, this, [this] { btnAttentionClick(); });
    top->addWidget(btnAttention);

    StatPanel = new BevelPanel(TopPanel);
    StatPanel->setObjectName(QStringLiteral("StatPanel"));
    StatPanel->setFixedWidth(238);
    StatPanel->setBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised);
    StatPanel->setColor(kPanelGrey);
    StatImage = new QLabel(StatPanel);
    StatImage->setObjectName(QStringLiteral("StatImage"));
    StatImage->setGeometry(4, 3, 21, 19);
    StatImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StatLabel = new QLabel(QStringLiteral("Сбой связи с ШВУ"), StatPanel);
    StatLabel->setObjectName(QStringLiteral("StatLabel"));
    StatLabel->setGeometry(30, 5, 205, 15);
    StatLabel->setAlignment(Qt::AlignCenter);
    StatLabel->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    setLinkStatus(StatLabel->text(), colours::kRed);
    top->addWidget(StatPanel);
    column->addWidget(TopPanel);

    // The MDI client area.
    mdiArea_ = new QMdiArea(central);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    // The frame's own colour shows where no child covers it; a palette on the whole window
    // would be inherited by every child window.
    mdiArea_->setBackground(QColor(0xA7, 0xA7, 0xD4));
    // Children keep their design positions; the frame shows no scroll bars.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(mdiArea_, 1);

    // Event panel: stop panel, event list, clear and expand buttons.
    EventPanel = new QWidget(central);
    EventPanel->setObjectName(QStringLiteral("EventPanel"));
    EventPanel->setFixedHeight(kCollapsed);
    auto* bottom = new QHBoxLayout(EventPanel);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    StopPanel = new BevelPanel(EventPanel);
    StopPanel->setObjectName(QStringLiteral("StopPanel"));
    StopPanel->setFixedWidth(98);
    StopPanel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered, 2);
    StopPanel->setColor(kPanelGrey);
    StopPanel->setCaptionColor(Qt::white);
    StopPanel->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    bottom->addWidget(StopPanel);
    Panel3 = new QWidget(EventPanel);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* listBox = new QVBoxLayout(Panel3);
    listBox->setContentsMargins(0, 0, 0, 0);
    events = new EventList(this);
    queue_ =
        new EventQueue([this](const QString& text, QRgb colour) { memoBody(text, colour); }, this);
    lstAvaria = new QListView(Panel3);
    lstAvaria->setObjectName(QStringLiteral("lstAvaria"));
    lstAvaria->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    lstAvaria->setUniformItemSizes(true);
    lstAvaria->setModel(events);
    lstAvaria->setItemDelegate(new AvariaItemDelegate(lstAvaria));
    lstAvaria->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listBox->addWidget(lstAvaria);
    bottom->addWidget(Panel3, 1);
    ToolBar1 = new QToolBar(EventPanel);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    // Alarm management beside the event list, shown once the station hands its alarm states
    // over (the top tool bar has room for the six view buttons only at the design width).
    btnAlarms = toolButton(ToolBar1, QStringLiteral("btnAlarms"), mnuAlarms);
    btnHornOff = toolButton(ToolBar1, QStringLiteral("btnHornOff"), mnuHornOff);
    btnAlarms->setAutoFillBackground(true); // the red of the blink
    for (QAction* a : ToolBar1->actions())
        if (ToolBar1->widgetForAction(a) == btnAlarms || ToolBar1->widgetForAction(a) == btnHornOff)
            a->setVisible(false);
    btnClear = toolButton(ToolBar1, QStringLiteral("btnClear"), ImageList1::Clear);
    btnUpDown = toolButton(ToolBar1, QStringLiteral("btnUpDown"), ImageList1::Expand);
    for (QToolButton* b : {btnClear, btnUpDown})
        b->setMinimumWidth(86);
    connect(btnClear, &QToolButton::clicked, this, [this] { btnClearClick(); });
    connect(btnUpDown, &QToolButton::clicked, this, [this] { btnUpDownClick(); });
    bottom->addWidget(ToolBar1);
    column->addWidget(EventPanel);

    setCentralWidget(central);
}

QString TMainFormKorvel::langFilePath() const {
    return lang::filePath(workDir_, settings_.Language);
}

void TMainFormKorvel::FormCreate() {
    // 1. the settings; 2. the working directory, taken once
    settings_ = Settings::load(paths_.settingsFile);
    workDir_ = paths_.workDir.isEmpty() ? QDir::currentPath() : paths_.workDir;
    station_.setMaxArhDay(settings_.MaxArhDay);
    // 3. the status bitmap
    statusBitmap_ = QPixmap(16, 16);
    // 4. the language menu; 5. the texts
    buildLanguageMenu();
    LoadLanguage(langFilePath());
    if (beforeStart_)
        beforeStart_(*this);
    // 6. the port; 7. the poll thread (the data module starts it with every start value
    // zero: link state, blink flag, first-answer, rows-valid and first-evaluation flags)
    const QString status = station_.openPort(settings_.ComPort, settings_.ComSpeed);
    station_.startPolling();
    // 8. the status text in its colour
    setLinkStatus(status, station_.portOpen() ? colours::kLinkText : colours::kRed);
    // 10. the link-lost icon until the first good answer
    composeStatusIcon(ImageList1::LinkLost);
    // 11. the start event
    AvariaMemo(MainTextStore::get()->lngPuskPrg, colours::kBlack);
}

void TMainFormKorvel::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TMainFormKorvel::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    // The poll thread ends first. What it reported on its way out, still queued for this
    // thread, is listed and journaled next, so the exit record is the run's last record.
    station_.stopPolling();
    deliverQueuedEvents();
    // The exit goes to the journal only, not to the event list.
    station_.journal(MainTextStore::get()->lngExitPrg, 2);
    // The exit record is already in the journal; a settings file that cannot be written is
    // told on the error output, and the station still closes.
    if (!settings_.save(paths_.settingsFile))
        qWarning("korvel: cannot write the settings file %s", qPrintable(paths_.settingsFile));
    station_.closePort();
    if (attention_)
        attention_->close();
}

void TMainFormKorvel::deliverQueuedEvents() {
    // Signals from the poll thread, in the order they were posted; then whatever waits in the
    // event queue itself.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    queue_->drain();
}

void TMainFormKorvel::buildLanguageMenu() {
    const QStringList files = QDir(workDir_).entryList({QStringLiteral("*.ini")}, QDir::Files,
                                                       QDir::Name | QDir::IgnoreCase);
    if (files.isEmpty())
        return;
    mnuLanguage->setEnabled(true);
    for (int i = 0; i < files.size(); ++i) {
        auto* item = new QAction(files[i], this);
        item->setObjectName(QStringLiteral("mnuLang%1").arg(i + 1));
        item->setData(i + 1); // the tag
        setLanguageTick(item, files[i] == settings_.Language);
        connect(item, &QAction::triggered, this, [this, item] { mnuLangClick(item); });
        mnuLanguage->addAction(item);
        langItems_.append(item);
    }
}

void TMainFormKorvel::setLanguageTick(QAction* item, bool ticked) {
    // Only the ticked item is checkable: an unticked checkable item would show an empty box.
    item->setCheckable(ticked);
    item->setChecked(ticked);
}

void TMainFormKorvel::mnuLangClick(QAction* item) {
    // The ticked item is the current language; it also keeps its tick when clicked again.
    if (item->text() == settings_.Language) {
        setLanguageTick(item, true);
        return;
    }
    closeChildren();
    settings_.Language = item->text();
    for (QAction* a : langItems_)
        setLanguageTick(a, false);
    setLanguageTick(item, true);
    LoadLanguage(langFilePath());
    events->clear();
    const auto texts = MainTextStore::get();
    btnUpDown->setText(EventPanel->height() == kCollapsed ? texts->lngRazvernut
                                                          : texts->lngSvernut);
}

void TMainFormKorvel::LoadLanguage(const QString& path) {
    installQtTranslation(settings_.Language);
    MainTexts t = MainTexts::load(PrivateProfile(path));
    setWindowTitle(t.MainFormKorvel + QStringLiteral(" v") + QLatin1String(kKorvelVersion));
    mnuTabZad->setText(t.mnuTabZad);
    mnuMnemo->setText(t.mnuMnemo);
    mnuComands->setTitle(t.mnuComands);
    mnuOut->setTitle(t.mnuOut);
    mnuExit->setText(t.mnuExit);
    mnuTabZad->setIconText(t.btnTabZad);
    mnuMnemo->setIconText(t.btnMnemo);
    mnuHelp->setTitle(t.mnuHelp);
    mnuSprav->setText(t.mnuSprav);
    mnuAbout->setText(t.mnuAbout);
    mnuService->setTitle(t.mnuService);
    mnuOptions->setText(t.mnuOptions);
    mnuHistory->setText(t.mnuHistory);
    mnuHistory->setIconText(t.btnHistory);
    btnClear->setText(t.btnClear);
    mnuJurnal->setIconText(t.btnJurnal);
    mnuJurnal->setText(t.mnuJurnal);
    mnuProtocol->setText(t.mnuProtocol);
    mnuProtocol->setIconText(t.btnProtocol);
    mnuRaport->setText(t.mnuRaport);
    mnuRaport->setIconText(t.btnRaport);
    btnAttention->setCaption(t.btnAttention);
    StopPanel->setCaption(t.StopPanel);
    mnuLanguage->setTitle(t.mnuLanguage);
    btnUpDown->setText(t.lngRazvernut);
    alarmTexts_ = AlarmTexts::load(PrivateProfile(path));
    mnuAlarms->setText(alarmTexts_.mnuAlarms);
    mnuAlarms->setIconText(alarmTexts_.btnAlarms);
    mnuHornOff->setText(alarmTexts_.btnHornOff);
    mnuAckAll->setText(alarmTexts_.btnAckAll);
    // The message texts are published as one set for the poll thread.
    MainTextStore::set(std::move(t));
}

void TMainFormKorvel::setAlarms(AlarmStates& states) {
    alarmStates_ = &states;
    hornLogic_ = std::make_unique<HornLogic>(states);
    hornLogic_->setEnabled(settings_.Horn != 0);
    horn_ = new Horn(*hornLogic_, {}, this);
    for (QAction* a : ToolBar1->actions())
        if (ToolBar1->widgetForAction(a) == btnAlarms || ToolBar1->widgetForAction(a) == btnHornOff)
            a->setVisible(true);
    AlarmTimer = new QTimer(this);
    AlarmTimer->setObjectName(QStringLiteral("AlarmTimer"));
    AlarmTimer->setInterval(500);
    connect(AlarmTimer, &QTimer::timeout, this, &TMainFormKorvel::AlarmTimerTimer);
    AlarmTimer->start();
}

void TMainFormKorvel::AlarmTimerTimer() {
    if (!alarmStates_)
        return;
    // Seen from across the room: the button blinks red while anything is unacknowledged,
    // whatever window is open.
    blinkOn_ = alarmStates_->anyUnacknowledged() && !blinkOn_;
    if (btnAlarms->property("blinkOn").toBool() != blinkOn_) {
        QPalette p = ToolBar2->palette();
        if (blinkOn_) {
            p.setColor(QPalette::Window, QColor(0xFF, 0x00, 0x00));
            p.setColor(QPalette::Button, QColor(0xFF, 0x00, 0x00));
            p.setColor(QPalette::ButtonText, Qt::white);
        }
        btnAlarms->setPalette(p);
        btnAlarms->setProperty("blinkOn", blinkOn_);
    }
    horn_->update();
}

void TMainFormKorvel::reportAcknowledged(const std::vector<int>& ids) {
    const auto texts = MainTextStore::get();
    for (int id : ids)
        AvariaMemo(alarmTexts_.lngAcked + QLatin1Char(' ') + AlarmStates::text(id, *texts),
                   colours::kBlack);
    if (horn_)
        horn_->update();
}

void TMainFormKorvel::acknowledgeAll() {
    if (alarmStates_)
        reportAcknowledged(
            alarmStates_->acknowledgeAll(QDateTime::currentDateTime(), alarmTexts_.lngOperator));
}

void TMainFormKorvel::btnHornOffClick() {
    if (!hornLogic_)
        return;
    hornLogic_->silence();
    horn_->update();
}

void TMainFormKorvel::closeChildren() {
    // In index order; each sub-window deletes itself later, so the list stays valid.
    const QList<QMdiSubWindow*> children = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* w : children)
        w->close();
}

void TMainFormKorvel::setViewFactory(View view, std::function<QWidget*()> factory) {
    factories_[view] = std::move(factory);
}

void TMainFormKorvel::openView(View view) {
    closeChildren();
    const auto it = factories_.find(view);
    if (it == factories_.end() || !it->second)
        return;
    QWidget* form = it->second();
    if (!form)
        return;
    // A child's frame offers the system menu, maximise and close, never minimise.
    QMdiSubWindow* sub = mdiArea_->addSubWindow(
        form, Qt::SubWindow | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                  Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A form that closes itself (its own close button) takes its frame with it.
    connect(form, &QObject::destroyed, sub, &QMdiSubWindow::close);
    sub->showMaximized();
}

void TMainFormKorvel::btnRaportClick() {
    closeChildren();
    if (raport_)
        raport_();
}

void TMainFormKorvel::mnuOptionsClick() {
    TOptForm dialog(settings_, workDir_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QThread::msleep(600);
    reopenPort();
    if (hornLogic_) {
        hornLogic_->setEnabled(settings_.Horn != 0);
        horn_->update();
    }
}

void TMainFormKorvel::reopenPort() {
    station_.pausePolling();
    station_.closePort();
    const QString status = station_.openPort(settings_.ComPort, settings_.ComSpeed);
    setLinkStatus(status, station_.portOpen() ? colours::kNavy : colours::kRed);
    station_.setMaxArhDay(settings_.MaxArhDay);
    station_.resumePolling();
}

void TMainFormKorvel::mnuAboutClick() {
    TAboutBox box(workDir_, this);
    box.exec();
}

void TMainFormKorvel::btnAttentionClick() {
    if (attention_ || !attentionFactory_)
        return;
    QWidget* w = attentionFactory_();
    if (!w)
        return;
    w->setAttribute(Qt::WA_DeleteOnClose);
    attention_ = w;
    w->show();
}

void TMainFormKorvel::addEventLine(const QString& text, QRgb colour) {
    events->add(text, colour, QDateTime::currentDateTime());
    lstAvaria->setCurrentIndex(events->index(0));
}

void TMainFormKorvel::memoBody(const QString& text, QRgb colour) {
    addEventLine(text, colour);
    station_.journal(text, EventList::journalCode(colour));
}

void TMainFormKorvel::AvariaMemo(const QString& text, QRgb colour) {
    queue_->post(text, colour);
}

void TMainFormKorvel::AvariaMemoNoJournal(const QString& text, QRgb colour) {
    addEventLine(text, colour);
}

void TMainFormKorvel::btnClearClick() {
    events->clear();
}

void TMainFormKorvel::btnUpDownClick() {
    const auto texts = MainTextStore::get();
    if (EventPanel->height() == kCollapsed) {
        EventPanel->setFixedHeight(kExpanded);
        btnUpDown->setIcon(ImageList1::icon(ImageList1::Collapse));
        btnUpDown->setText(texts->lngSvernut);
    } else {
        EventPanel->setFixedHeight(kCollapsed);
        btnUpDown->setIcon(ImageList1::icon(ImageList1::Expand));
        btnUpDown->setText(texts->lngRazvernut);
    }
}

void TMainFormKorvel::setLinkStatus(const QString& text, QRgb colour) {
    StatLabel->setText(text);
    QPalette pal = StatLabel->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    StatLabel->setPalette(pal);
}

void TMainFormKorvel::composeStatusIcon(int icon) {
    statusBitmap_.fill(kPanelGrey);
    QPainter p(&statusBitmap_);
    p.drawPixmap(0, 0, ImageList1::pixmap(icon));
    p.end();
    StatImage->setPixmap(statusBitmap_);
}

void TMainFormKorvel::setLinkIcon(int icon) {
    composeStatusIcon(icon);
}

void TMainFormKorvel::setStopColour(QRgb colour) {
    StopPanel->setColor(QColor::fromRgb(colour));
}

void TMainFormKorvel::setAttentionColour(QRgb colour) {
    btnAttention->setColor(QColor::fromRgb(colour));
}
