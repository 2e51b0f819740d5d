#pragma once
// TMainFormKorvel, the main window: an MDI frame with the menus, the tool bar of the views,
// the attention button and the link status panel on top, and the event panel below.
#include "AlarmTexts.h"
#include "Settings.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QRgb>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QListView;
class EventList;
class EventQueue;
class QMdiArea;
class QMenu;
class QLabel;
class QToolBar;
class QStyle;
class QToolButton;
class BevelPanel;
class Station;
class AlarmStates;
class HornLogic;
class Horn;
class QTimer;

class TMainFormKorvel : public QMainWindow {
    Q_OBJECT
public:
    enum class View { TabZad, Mnemo, History, Jurnal, Protocol, Alarms };
    struct Paths {
        QString settingsFile = Settings::filePath();
        QString workDir; // empty: the process's current directory
    };

    // Runs once the window can show events, before the port opens and before the start
    // event: the station connects the plant side to the window there.
    using BeforeStart = std::function<void(TMainFormKorvel& window)>;

    TMainFormKorvel(Station& station, const Paths& paths, QWidget* parent = nullptr,
                    BeforeStart beforeStart = {});
    ~TMainFormKorvel() override;

    // The windows the view commands create; each is shown maximised in the MDI area.
    void setViewFactory(View view, std::function<QWidget*()> factory);
    // The shift report command runs after every child window has been closed.
    void setRaportHandler(std::function<void()> handler) { raport_ = std::move(handler); }
    // The attention window (at most one exists).
    void setAttentionFactory(std::function<QWidget*()> factory) {
        attentionFactory_ = std::move(factory);
    }
    QString workDir() const { return workDir_; }
    QString langFilePath() const;
    Settings& settings() { return settings_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QWidget* attentionWindow() const { return attention_; }

    // Alarm management: the active-alarm command, the blinking tool button, the horn and
    // "Квитировать все" (F9, from any window). Without it those controls stay hidden.
    void setAlarms(AlarmStates& states);
    // One event line and journal record per alarm an operator acknowledged.
    void reportAcknowledged(const std::vector<int>& ids);
    void acknowledgeAll();
    void btnHornOffClick();
    Horn* horn() const { return horn_; }
    HornLogic* hornLogic() const { return hornLogic_.get(); }
    // The blink and horn tick, every 500 ms.
    void AlarmTimerTimer();

    // Commands.
    void openView(View view);
    void closeChildren();
    void btnRaportClick();
    void mnuOptionsClick();
    // Closes the line and opens it again with the settings' port and speed, and applies the
    // days of tables kept, the poll paused meanwhile, as an accepted settings dialog does;
    // also on SIGHUP, after the adapter was plugged in again or the line's other end restarted.
    void reopenPort();
    void mnuAboutClick();
    void mnuLangClick(QAction* item);
    void btnClearClick();
    void btnUpDownClick();
    void btnAttentionClick();
    void LoadLanguage(const QString& path);

    // Event reporting from either thread: the list line on top (red for exactly #FF0000),
    // then the journal record, on this window's thread and in the order of the calls.
    void AvariaMemo(const QString& text, QRgb colour);
    // Adds the list line without a journal record (a failed journal write is reported so).
    void AvariaMemoNoJournal(const QString& text, QRgb colour);

    // Effects of the poll cycle, carried out on this thread.
    void setLinkStatus(const QString& text, QRgb colour);
    void setLinkIcon(int icon);
    void setStopColour(QRgb colour);
    void setAttentionColour(QRgb colour);

    // Controls, by their names.
    QWidget* TopPanel = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton* btnTabZad = nullptr;
    QToolButton* btnMnemo = nullptr;
    QToolButton* btnHistory = nullptr;
    QToolButton* btnJurnal = nullptr;
    QToolButton* btnProtocol = nullptr;
    QToolButton* btnRaport = nullptr;
    QToolButton* btnAlarms = nullptr;
    QToolButton* btnHornOff = nullptr;
    BevelPanel* btnAttention = nullptr;
    BevelPanel* StatPanel = nullptr;
    QLabel* StatImage = nullptr;
    QLabel* StatLabel = nullptr;
    QWidget* EventPanel = nullptr;
    BevelPanel* StopPanel = nullptr;
    QWidget* Panel3 = nullptr;
    QListView* lstAvaria = nullptr;
    EventList* events = nullptr; // the entries lstAvaria shows
    QToolBar* ToolBar1 = nullptr;
    QToolButton* btnClear = nullptr;
    QToolButton* btnUpDown = nullptr;

    QMenu* mnuComands = nullptr;
    QMenu* mnuService = nullptr;
    QMenu* mnuLanguage = nullptr;
    QMenu* mnuOut = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuTabZad = nullptr;
    QAction* mnuMnemo = nullptr;
    QAction* mnuHistory = nullptr;
    QAction* mnuJurnal = nullptr;
    QAction* mnuProtocol = nullptr;
    QAction* mnuRaport = nullptr;
    QAction* mnuAlarms = nullptr;
    QAction* mnuHornOff = nullptr;
    QAction* mnuAckAll = nullptr;
    QTimer* AlarmTimer = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuSprav = nullptr;
    QAction* mnuAbout = nullptr;

    static constexpr int kCollapsed = 25;
    static constexpr int kExpanded = 57;
    static constexpr int kMaxEvents = 30;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createPanels();
    void FormCreate();
    void FormClose();
    // Hands this thread every event the poll thread queued for it.
    void deliverQueuedEvents();
    void buildLanguageMenu();
    void setLanguageTick(QAction* item, bool ticked);
    void composeStatusIcon(int icon);
    void addEventLine(const QString& text, QRgb colour);
    void memoBody(const QString& text, QRgb colour);
    QToolButton* toolButton(QToolBar* bar, const QString& name, int icon);
    QToolButton* toolButton(QToolBar* bar, const QString& name, QAction* command);

    Station& station_;
    Paths paths_;
    QStyle* toolStyle_ = nullptr; // the tool bars' buttons, sized to their contents
    Settings settings_;
    QString workDir_;
    QMdiArea* mdiArea_ = nullptr;
    QPixmap statusBitmap_;
    std::map<View, std::function<QWidget*()>> factories_;
    std::function<void()> raport_;
    std::function<QWidget*()> attentionFactory_;
    QPointer<QWidget> attention_;
    QList<QAction*> langItems_;
    EventQueue* queue_ = nullptr;
    BeforeStart beforeStart_;
    bool closed_ = false;
    AlarmStates* alarmStates_ = nullptr;
    AlarmTexts alarmTexts_;
    std::unique_ptr<HornLogic> hornLogic_;
    Horn* horn_ = nullptr;
    bool blinkOn_ = false;
};
