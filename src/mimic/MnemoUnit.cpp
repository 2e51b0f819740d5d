#include "MnemoUnit.h"

#include "ChargeFlow.h"
#include "Colours.h"
#include "DateText.h"
#include "Language.h"
#include "MainTexts.h"
#include "MimicArtwork.h"
#include "MimicLogic.h"
#include "MimicWidgets.h"
#include "MyShape.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace {
const QColor kLampOn(0x00, 0xFF, 0x00);
const QColor kLampFault(0xFF, 0x00, 0x00);
const QColor kLampOff(0xC0, 0xC0, 0xC0);

using mimic::Bit;
using mimic::DoserSource;
using mimic::kDoserSource;

bool bitOf(const ImageData& d, Bit b) {
    return d.bit(b.byte, b.bit);
}

// The long time format without a time zone, which the clock panel has no room for.
QString longTime(const QTime& time) {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(time, format.trimmed());
}
} // namespace

TMnemoForm::TMnemoForm(const ProcessImage& image, ChargeFlow& flow,
                       std::function<int()> failureCount, const QString& langFilePath,
                       QWidget* parent)
    : QWidget(parent), image_(image), flow_(flow), failureCount_(std::move(failureCount)),
      clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("MnemoForm"));
    setWindowFlags(windowFlags() & ~Qt::WindowMinimizeButtonHint);
    resize(kDesignWidth, kDesignHeight);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, mimic::kWindowColour);
    setPalette(pal);

    createControls();
    LoadLanguage(langFilePath);
    FormCreate();
}

TMnemoForm::~TMnemoForm() {
    if (DrawTimer)
        DrawTimer->stop();
    if (TranspTimer)
        TranspTimer->stop();
}

void TMnemoForm::FormCreate() {
    chargeColour_ = QColor::fromRgb(colours::kCharge);
    bigTranspRunning_ = transp1Running_ = transp2Running_ = false;
    beltPhase_ = false;
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    offCart_ = QImage(315, 100, QImage::Format_RGB32);
    offPech1_ = QImage(art.picPech1.size(), QImage::Format_RGB32);
    offPech2_ = QImage(art.picPech2.size(), QImage::Format_RGB32);
    offBigBun_ = QImage(art.picBigBun.size(), QImage::Format_RGB32);
    offBunVes_ = QImage(art.picBunVes.size(), QImage::Format_RGB32);
    offBunZag_ = QImage(art.picBunZag.size(), QImage::Format_RGB32);
    cart1X_ = mimic::kCart1Offsets[0];
    cart2X_ = mimic::kCart2Offsets[0];

    connect(btnClose, &QPushButton::clicked, this, &TMnemoForm::btnCloseClick);
    DrawTimer = new QTimer(this);
    DrawTimer->setInterval(500);
    connect(DrawTimer, &QTimer::timeout, this, &TMnemoForm::DrawTimerTimer);
    TranspTimer = new QTimer(this);
    TranspTimer->setInterval(200);
    connect(TranspTimer, &QTimer::timeout, this, &TMnemoForm::TranspTimerTimer);
    DrawTimer->start();
    TranspTimer->start();
}

void TMnemoForm::FormClose() {
    // The timers go first: no tick may draw once the pictures are released.
    DrawTimer->stop();
    TranspTimer->stop();
    offCart_ = QImage();
    offPech1_ = QImage();
    offPech2_ = QImage();
    offBigBun_ = QImage();
    offBunVes_ = QImage();
    offBunZag_ = QImage();
}

bool TMnemoForm::timersActive() const {
    return DrawTimer->isActive() || TranspTimer->isActive();
}

void TMnemoForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

// Inside the main window's frame the whole child window closes, frame and all.
void TMnemoForm::btnCloseClick() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void TMnemoForm::LoadLanguage(const QString& path) {
    const LangSection section(path, QStringLiteral("Mnemo"));
    auto setLabel = [this](const char* name, const QString& text) {
        if (auto* l = findChild<QLabel*>(QString::fromLatin1(name)))
            l->setText(text);
    };
    // Reads a key with its default, converting line breaks where the text is multi-line, and
    // sets it on the label of the key's name and on its copies.
    auto apply = [&](const char* key, const char* def, bool lines,
                     std::initializer_list<const char*> copies = {}) {
        QString text = section.text(QString::fromLatin1(key), QString::fromUtf8(def));
        if (lines)
            text = lang::multiLine(text);
        setLabel(key, text);
        for (const char* copy : copies)
            setLabel(copy, text);
        return text;
    };
    setWindowTitle(section.text(QStringLiteral("MnemoForm"), QStringLiteral("Мнемосхема")));
    apply("labRegRKO1", "Режим работы |дозаторов РКО-1", true);
    apply("labRegRTP2", "Режим работы |дозаторов РТП-2", true);
    apply("labZad12", "Задание", false, {"labZad34", "labZad56"});
    apply("labSkZad12", "Ск.задан.", false, {"labSkZad34", "labSkZad56"});
    apply("labTekVes12", "Тек. вес", false, {"labTekVes34", "labTekVes56"});
    apply("labAvrVP12", "Авар.|ВП", true, {"labAvrVP34", "labAvrVP56"});
    apply("labAvrZat12", "Авар.|затв.", true, {"labAvrZat34", "labAvrZat56"});
    apply("labDoza12", "Доза", false, {"labDoza34", "labDoza56"});
    apply("labNull12", "0 вес", false, {"labNull34", "labNull56"});
    modeTexts_[1] = section.text(QStringLiteral("lngRegMest"), QStringLiteral("МЕСТ"));
    modeTexts_[2] = section.text(QStringLiteral("lngRegDist"), QStringLiteral("ДИСТ"));
    modeTexts_[3] = section.text(QStringLiteral("lngRegAvto"), QStringLiteral("АВТО"));
    apply("labRegSkip", "Режим работы скипа", false);
    apply("labTimeUpSkip", "Время подъема скипа", false);
    apply("labTimeDownSkip", "Время спуска скипа", false);
    apply("labUpSkip", "Скип вверху", false);
    apply("labDownSkip", "Скип внизу", false);
    apply("labAvrSkip", "Авария скипа", false);
    apply("labRegTransp1", "Режим работы |транспортера", true, {"labRegTransp2"});
    apply("labRegBigTransp", "Режим работы транспортера", false);
    apply("labBigTransp", "Транспортер сборный", false);
    apply("labTransp1", "Транспортер шихты", false);
    apply("labTransp2", "Транспортер загрузочный", false);
    apply("labAvrBigTransp", "Авария транспортера", false, {"labAvrTransp1", "labAvrTransp2"});
    apply("labZadCalosh", "Задано калош", false);
    setLabel("labZadCalosh2",
             section.text(QStringLiteral("labZadCalosh"), QStringLiteral("Задано калош")));
    apply("labTekCalosh", "Текущая калоша", false);
    setLabel("labTekCalosh2",
             section.text(QStringLiteral("labTekCalosh"), QStringLiteral("Текущая калоша")));
    apply("labBigBunUp", "Бункер |приемный", true);
    apply("labBigBunDown", "Бункер |промежуточный", true);
    apply("labBigBun1", "Бункер |сдозированной |шихты №1", true);
    apply("labBigBun2", "Бункер |сдозированной |шихты №2", true);
    apply("labConSost", "Состояние связи", false);
    apply("ledConSU1", "ШУ1", false);
    apply("ledConSU2", "ШУ2", false);
    apply("ledConSVU", "ШВУ", false);
    apply("labRegPech1", "Режим работы |выгрузки шихты |печи №1", true);
    apply("labRegPech2", "Режим работы |выгрузки шихты |печи №2", true);
    apply("labPosTel1", "Зад. позиция тележки", false, {"labPosTel2"});
    btnClose->setText(section.text(QStringLiteral("btnClose"), QStringLiteral("Закрыть")));
    apply("labRegMeh", "Режим работы механизмов ШВУ", false);
    apply("labTenz", "Состояние|тензопреобразователей", true);
    apply("labAvrZatTel1", "Авария затвора тележки", false, {"labAvrZatTel2"});
    apply("labAvrTel1", "Авария тележки", false, {"labAvrTel2"});
    apply("labAvrBigBun2", "Авария затвора", false);
    apply("labNeBigBun2", "Неисправность уровнемера", false, {"labNeBigBunDown"});
    apply("labAvrBigBunDown", "Авария вибропитателя", false);

    // The section names come from the main window's texts as they stand now.
    const auto mainTexts = MainTextStore::get();
    pan11->setText(mainTexts->lngRKO1);
    pan21->setText(mainTexts->lngRKO1);
    pan12->setText(mainTexts->lngRTP2);
    pan22->setText(mainTexts->lngRTP2);
    fitLabels();
}

// The labels stand in the gaps the design gives them. A text a pixel or so wider than its gap
// (or a longer text of a language file) closes up its letters, as little as it takes, instead
// of running under the fields and lamps beside it.
void TMnemoForm::fitLabels() {
    for (QLabel* l : findChildren<QLabel*>()) {
        if (l->text().isEmpty() || qobject_cast<TPanelLamp*>(l))
            continue;
        QFont f = l->font();
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0);
        const int room = l->contentsRect().width();
        auto widest = [&l](const QFont& font) {
            int w = 0;
            for (const QString& line : l->text().split(QLatin1Char('\n')))
                w = qMax(w, QFontMetrics(font).horizontalAdvance(line));
            return w;
        };
        for (int tenths = 1; tenths <= 10 && widest(f) > room; ++tenths)
            f.setLetterSpacing(QFont::AbsoluteSpacing, -0.1 * tenths);
        l->setFont(f);
    }
}

QString TMnemoForm::modeText(int which) const {
    return which >= 1 && which <= 3 ? modeTexts_[which] : QString();
}

void TMnemoForm::setMode(TValueField* field, int which) {
    field->setText(modeText(which));
}

void TMnemoForm::setLamp(TMyShape* lamp, bool on, bool fault) {
    lamp->Brush().setColor(on ? (fault ? kLampFault : kLampOn) : kLampOff);
}

void TMnemoForm::DrawTimerTimer() {
    const QDateTime now = clock_();
    LblDate->setText(stationDate(now.date()));
    // A long date text (a month name) takes a smaller size rather than losing its ends.
    QFont dateFont = LblTime->font();
    while (QFontMetrics(dateFont).horizontalAdvance(LblDate->text()) > LblDate->width() - 2 &&
           dateFont.pointSize() > 6)
        dateFont.setPointSize(dateFont.pointSize() - 1);
    LblDate->setFont(dateFont);
    LblTime->setText(longTime(now.time()));
    DrawMnemo();
    // No image bits report a cart's load, gate or mode: the carts are drawn unloaded, with
    // the gate closed and mode bit 0, at the position the lamps show.
    MoveTachka1(cart1X_, false, false, false);
    MoveTachka2(cart2X_, false, false, false);
}

void TMnemoForm::drawDoser(const ImageData& d, int suffix) {
    const DoserSource& s = kDoserSource[suffix];
    DoserControls& c = dosers_[suffix];
    const int weight = d.sword(s.weight);
    c.edZad->setText(QString::number(d.word(s.zad)));
    c.edSkZad->setText(QString::number(d.word(s.skZad)));
    c.edTekVes->setText(QString::number(weight));
    const int material = d.byte(s.material);
    VesBunker(mimic::weighHopperLevel(weight), material, bitOf(d, s.gateOpen), bitOf(d, s.modeBit),
              c.imgBunVes);
    ZagBunker(100, material, bitOf(d, s.feeder), c.imgBunZag);
    setLamp(c.ledDoza, bitOf(d, s.doza), false);
    setLamp(c.ledNull, bitOf(d, s.null), false);
    setLamp(c.ledAvVp, bitOf(d, s.avVp), true);
    setLamp(c.ledAvZat, bitOf(d, s.avZat), true);
}

void TMnemoForm::DrawMnemo() {
    // One consistent copy of the image; nothing is locked while drawing.
    const ImageData d = image_.snapshot();
    ChargeFlow& flow = flow_;
    const auto num = [](int value) { return QString::number(value); };

    // 1. Edges of byte 81 for the receiving bunker and bunker No. 1.
    flow.trackEdges(d.byte(81));

    // 2. Dosers 1 and 4.
    drawDoser(d, 5);
    drawDoser(d, 6);

    // 3. Section 1 mode, furnace 1, cart 1.
    setMode(edRegDoz1, mimic::modeByteText(d.byte(26)));
    MovePech1(d.byte(22), static_cast<std::uint8_t>((d.word(0) >> 3) & 0xFF));
    edKalZad->setText(num(d.byte(13)));
    edKalTek->setText(num(d.byte(14)));
    edPosTel1->setText(num(d.byte(28)));
    setMode(edRegPech1, mimic::modeByteText(d.byte(27)));
    setLamp(led1_[0], d.bit(21, 0), false);
    for (int pos = 1; pos <= 8; ++pos)
        setLamp(led1_[pos], d.bit(20, pos - 1), false);
    cart1X_ = mimic::cart1Offset(d, cart1X_);
    setLamp(ledAvrZatTel1, d.bit(25, 0), true);
    setLamp(ledAvrTel1, d.bit(25, 1), true);

    // 4. Dosers 5, 2, 6 and 3.
    for (int suffix = 1; suffix <= 4; ++suffix)
        drawDoser(d, suffix);

    // 5. Section 2 mode, furnace 2.
    setMode(edRegDoz2, mimic::modeByteText(d.byte(77)));
    MovePech2(d.byte(71), d.byte(31));
    edKalZad2->setText(num(d.byte(53)));
    edKalTek2->setText(num(d.byte(54)));
    edPosTel2->setText(num(d.byte(79)));
    setMode(edRegPech2, mimic::modeByteText(d.byte(78)));

    // 6. Bunker No. 2, the intermediate bunker, cart 2, the loading conveyor.
    BigBunker(mimic::bigBunkerLevel(d.sword(63)), d.bit(30, 4), imgBigBun2);
    const bool gate2Open = d.bit(69, 0) && !d.bit(69, 1);
    imgArrBigBun2->setVisible(gate2Open);
    imgZatBigBun2->setVisible(!gate2Open);
    setLamp(ledAvrBigBun2, d.bit(75, 0), true);
    setLamp(ledNeBigBun2, d.bit(75, 6), true);
    BigBunker(mimic::bigBunkerLevel(d.sword(65)), d.bit(30, 6), imgBigBunDown);
    const bool downOpen = d.bit(69, 4);
    imgArrBigBunDown->setVisible(downOpen);
    imgZatBigBunDown->setVisible(!downOpen);
    setLamp(ledAvrBigBunDown, d.bit(75, 2), true);
    setLamp(ledNeBigBunDown, d.bit(75, 7), true);
    for (int pos = 0; pos <= 6; ++pos)
        setLamp(led2_[pos], d.bit(70, pos), false);
    cart2X_ = mimic::cart2Offset(d, cart2X_);
    setLamp(ledAvrZatTel2, d.bit(75, 3), true);
    setLamp(ledAvrTel2, d.bit(75, 4), true);
    imgTr2Arr->setVisible(d.bit(69, 6));
    transp2Running_ = d.bit(69, 6);
    setMode(edRegTransp2, mimic::modeBitText(d.bit(30, 5)));
    setLamp(ledAvrTransp2, d.bit(75, 1), true);

    // 7. The skip and the mode of the controller's mechanisms.
    MoveSkip(mimic::skipPosition(d.byte(81)));
    setLamp(ledSkipDown, d.bit(81, 0), false);
    setLamp(ledSkipUp, d.bit(81, 3), false);
    imgArrFromSkip->setVisible(d.bit(81, 3));
    imgArrSkipUp->setVisible(d.bit(82, 0));
    imgArrSkipDown->setVisible(d.bit(82, 1));
    setMode(edRegSkip, mimic::modeBitText(d.bit(80, 2)));
    setLamp(ledAvrSkip, d.bit(83, 0), true);
    edTimeSkipUp->setText(num(d.byte(86)));
    edTimeSkipDown->setText(num(d.byte(87)));
    setMode(edRegMeh, mimic::modeByteText(d.byte(85)));

    // 8. The charge conveyor (towards bunker No. 1 wins), then the collecting conveyor.
    const bool toBunker1 = d.bit(81, 4);
    const bool toBunker2 = !toBunker1 && d.bit(81, 5);
    imgTr1ArrRight->setVisible(toBunker1);
    imgTr1ArrLeft->setVisible(toBunker2);
    transp1Running_ = toBunker1 || toBunker2;
    setMode(edRegTransp1, mimic::modeBitText(d.bit(80, 1)));
    setLamp(ledAvrTransp1, d.bit(83, 2), true);
    imgArrToSkip->setVisible(d.bit(81, 7));
    bigTranspRunning_ = d.bit(81, 7);
    setMode(edRegBigTransp, mimic::modeBitText(d.bit(80, 0)));
    setLamp(ledAvrBigTransp, d.bit(83, 1), true);

    // 9. Load cells.
    for (int suffix = 1; suffix <= 6; ++suffix)
        setLamp(dosers_[suffix].ledTenz, bitOf(d, kDoserSource[suffix].tenz), true);

    // 10. Receiving bunker, bunker No. 1, chute.
    drawChargeFlow();

    // 11. Connection panels.
    ledConSU1->setColour(d.bit(84, 5) ? kLampFault : kLampOn);
    ledConSU2->setColour(d.bit(84, 6) ? kLampFault : kLampOn);
    const int failures = failureCount_ ? failureCount_() : 0;
    ledConSVU->setColour(failures >= 4 ? kLampFault : kLampOn);

    // 12. Byte 81 becomes the previous value.
    flow.storePrevious(d.byte(81));
}

void TMnemoForm::drawChargeFlow() {
    ChargeFlow& flow = flow_;
    flow.stepLevels();
    BigBunker(flow.receivingLevel(), false, imgBigBunUp);
    BigBunker(flow.bunker1Level(), false, imgBigBun1);
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    imgStok->setPicture(flow.chuteFull() ? art.stokFull : art.stokEmpty);
}
