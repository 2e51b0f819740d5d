#include "TableTexts.h"

#include "Language.h"

#include <QMessageBox>
#include <chrono>
#include <thread>

TableTexts TableTexts::load(const QString& langFilePath) {
    const LangSection s(langFilePath, QStringLiteral("Table"));
    TableTexts t;
    t.TableForm = s.text(QStringLiteral("TableForm"), QStringLiteral("Таблица заданий"));
    t.labName = s.text(QStringLiteral("labName"), QStringLiteral("Таблица заданий"));
    t.btnClose = s.text(QStringLiteral("btnClose"), QStringLiteral("Закрыть"));
    t.lngDozator = s.text(QStringLiteral("lngDozator"), QStringLiteral("ДОЗАТОР"));
    t.btnRec1 = s.text(QStringLiteral("btnRec1"), QStringLiteral("Передать задание"));
    t.panCnt1 = s.text(QStringLiteral("panCnt1"), QStringLiteral("КОЛИЧЕСТВО ПОРЦИЙ ДЛЯ ПЕЧИ"));
    t.labZad1 = s.text(QStringLiteral("labZad1"), QStringLiteral("Задание (0 - 1000 кг)"));
    t.labKod1 = s.text(QStringLiteral("labKod1"), QStringLiteral("Код материала"));
    t.labPortion1 =
        s.text(QStringLiteral("labPortion1"), QStringLiteral("Количество порций (1 - 9)"));
    t.lngWantRec = s.text(QStringLiteral("lngWantRec"),
                          QStringLiteral("Вы действительно желаете передать задание?"));
    t.lngErrorRec = s.text(QStringLiteral("lngErrorRec"), QStringLiteral("Задание не передано."));
    t.grpColor = s.text(QStringLiteral("grpColor"), QStringLiteral("Коды и цвета материалов"));
    static const std::array<const char*, 10> materials = {
        "0 - Нет материала",  "1 - Кокс",           "2 - Кварцевая руда",    "3 - Кварцевая руда",
        "4 - Кварцевая руда", "5 - Кварцит",        "6 - Металлоконцентрат", "7 - Кварцевая руда",
        "8 - Известь",        "9 - Ферросиликохром"};
    for (int i = 0; i < 10; ++i)
        t.labMat[i] = s.text(QStringLiteral("labMat%1").arg(i), QString::fromUtf8(materials[i]));
    return t;
}

TableHooks TableHooks::defaults() {
    TableHooks h;
    h.confirm = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    h.error = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    };
    h.wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return h;
}
