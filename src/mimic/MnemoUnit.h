#pragma once
// The mimic window: the live picture of the charging plant, redrawn twice a second from one
// consistent copy of the process image. It only reads; opening or closing it changes nothing
// in the poll cycle, the alarms or the records.
#include "ProcessImage.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

class ChargeFlow;
class QLabel;
class QPushButton;
class QTimer;
class TMyShape;
class TPanelLamp;
class TPicture;
class TValueField;

class TMnemoForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 1036;
    static constexpr int kDesignHeight = 737;

    // failureCount: the poll cycle's count of consecutive failed exchanges (stops at 4).
    // langFilePath: the language file (an empty path keeps every built-in text).
    // flow: the receiving bunker and bunker No. 1 as the station has followed them so far.
    TMnemoForm(const ProcessImage& image, ChargeFlow& flow, std::function<int()> failureCount,
               const QString& langFilePath, QWidget* parent = nullptr);
    ~TMnemoForm() override;

    void LoadLanguage(const QString& path);
    // One full refresh of every element from one copy of the process image.
    void DrawMnemo();
    // The 500 ms tick: clock, DrawMnemo, the two carts.
    void DrawTimerTimer();
    // The 200 ms tick of the belt animation.
    void TranspTimerTimer();

    // Drawing routines of the animated pictures; each composes off screen and copies out.
    void VesBunker(int level, int material, bool gateOpen, bool modeBit, TPicture* target);
    void ZagBunker(int level, int material, bool feederRunning, TPicture* target);
    void BigBunker(int level, bool modeBit, TPicture* target);
    void MoveSkip(int position);
    void MovePech1(std::uint8_t fillBits, std::uint8_t modeBits);
    void MovePech2(std::uint8_t fillBits, std::uint8_t modeBits);
    void MoveTachka1(int x, bool loaded, bool gateOpen, bool modeBit);
    void MoveTachka2(int x, bool loaded, bool gateOpen, bool modeBit);

    // The clock the date and time fields show; the system clock unless replaced.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    bool timersActive() const;
    int cart1X() const { return cart1X_; }
    int cart2X() const { return cart2X_; }
    QString modeText(int which) const; // 1 local, 2 remote, 3 automatic, anything else empty

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct DoserControls {
        TValueField* edZad = nullptr;
        TValueField* edSkZad = nullptr;
        TValueField* edTekVes = nullptr;
        TPicture* imgBunZag = nullptr;
        TPicture* imgBunVes = nullptr;
        TMyShape* ledAvVp = nullptr;
        TMyShape* ledAvZat = nullptr;
        TMyShape* ledDoza = nullptr;
        TMyShape* ledNull = nullptr;
        TMyShape* ledTenz = nullptr;
    };

    void FormCreate();
    void FormClose();
    void btnCloseClick();

    // Building the controls at their design positions.
    void createControls();
    void createDoserColumns();
    void createEquipment();
    void createFields();
    QLabel* label(const char* name, int x, int y, int w, int h, const QString& text = {});
    TValueField* valueField(const char* name, int x, int y, int w, int h, bool small = false);
    TMyShape* lamp(const char* name, int x, int y, int size = 11);
    TPicture* picture(const char* name, int x, int y, int w, int h);
    TPicture* fixedPicture(const char* name, int x, int y, const QImage& art);

    void fitLabels();

    // Refresh parts.
    void drawDoser(const ImageData& d, int suffix);
    void drawChargeFlow();
    void drawCart(int x, bool loaded, bool gateOpen, bool modeBit, TPicture* target);
    void setMode(TValueField* field, int which);
    static void setLamp(TMyShape* lamp, bool on, bool fault);

    const ProcessImage& image_;
    ChargeFlow& flow_;
    std::function<int()> failureCount_;
    std::function<QDateTime()> clock_;
    QTimer* DrawTimer = nullptr;
    QTimer* TranspTimer = nullptr;

    std::array<QString, 4> modeTexts_;      // [1] local, [2] remote, [3] automatic
    std::array<DoserControls, 7> dosers_{}; // by control suffix 1 to 6

    // Off-screen pictures of the animated elements.
    QImage offCart_, offPech1_, offPech2_, offBigBun_, offBunVes_, offBunZag_;
    QColor chargeColour_;
    bool bigTranspRunning_ = false;
    bool transp1Running_ = false;
    bool transp2Running_ = false;
    bool beltPhase_ = false;
    int cart1X_ = 0;
    int cart2X_ = 0;

    // Controls the refresh writes.
    QLabel* LblDate = nullptr;
    QLabel* LblTime = nullptr;
    QPushButton* btnClose = nullptr;
    TValueField *edRegDoz1 = nullptr, *edRegDoz2 = nullptr, *edRegMeh = nullptr;
    TValueField *edKalZad = nullptr, *edKalTek = nullptr, *edPosTel1 = nullptr,
                *edRegPech1 = nullptr;
    TValueField *edKalZad2 = nullptr, *edKalTek2 = nullptr, *edPosTel2 = nullptr,
                *edRegPech2 = nullptr;
    TValueField *edRegTransp2 = nullptr, *edRegSkip = nullptr, *edTimeSkipUp = nullptr,
                *edTimeSkipDown = nullptr, *edRegTransp1 = nullptr, *edRegBigTransp = nullptr;
    std::array<TMyShape*, 9> led1_{};
    std::array<TMyShape*, 7> led2_{};
    TMyShape *ledAvrZatTel1 = nullptr, *ledAvrTel1 = nullptr, *ledAvrZatTel2 = nullptr,
             *ledAvrTel2 = nullptr;
    TMyShape *ledAvrBigBun2 = nullptr, *ledNeBigBun2 = nullptr, *ledAvrBigBunDown = nullptr,
             *ledNeBigBunDown = nullptr, *ledAvrTransp2 = nullptr;
    TMyShape *ledSkipDown = nullptr, *ledSkipUp = nullptr, *ledAvrSkip = nullptr,
             *ledAvrTransp1 = nullptr, *ledAvrBigTransp = nullptr;
    TPanelLamp *ledConSU1 = nullptr, *ledConSU2 = nullptr, *ledConSVU = nullptr;
    TPanelLamp *pan11 = nullptr, *pan12 = nullptr, *pan21 = nullptr, *pan22 = nullptr;
    TPicture *imgBunPech1 = nullptr, *imgBunPech2 = nullptr, *imgTachka1 = nullptr,
             *imgTachka2 = nullptr;
    TPicture *imgBigBun2 = nullptr, *imgBigBunDown = nullptr, *imgBigBunUp = nullptr,
             *imgBigBun1 = nullptr, *imgStok = nullptr;
    std::array<TPicture*, 4> imgSkip_{};
    TPicture *imgBigTransp = nullptr, *imgTransp1 = nullptr, *imgTransp2 = nullptr;
    TPicture *imgZatBigBun2 = nullptr, *imgArrBigBun2 = nullptr, *imgZatBigBunDown = nullptr,
             *imgArrBigBunDown = nullptr, *imgTr2Arr = nullptr, *imgArrFromSkip = nullptr,
             *imgArrSkipUp = nullptr, *imgArrSkipDown = nullptr, *imgTr1ArrRight = nullptr,
             *imgTr1ArrLeft = nullptr, *imgArrToSkip = nullptr;
};
