#include "MainTexts.h"

#include "PrivateProfile.h"

#include <array>

namespace {
const QString kSection = QStringLiteral("Main");

struct Entry {
    const char* key;
    const char* def;
    QString MainTexts::*field;
};

const Entry kEntries[] = {
    {"MainFormKorvel", "Загрузка доменных печей", &MainTexts::MainFormKorvel},
    {"mnuTabZad", "Таблица заданий", &MainTexts::mnuTabZad},
    {"mnuMnemo", "Мнемосхема", &MainTexts::mnuMnemo},
    {"mnuComands", "Функции", &MainTexts::mnuComands},
    {"mnuOut", "Выход", &MainTexts::mnuOut},
    {"mnuExit", "Выйти из программы", &MainTexts::mnuExit},
    {"btnTabZad", "Таблица заданий", &MainTexts::btnTabZad},
    {"btnMnemo", "Мнемосхема", &MainTexts::btnMnemo},
    {"mnuHelp", "Помощь", &MainTexts::mnuHelp},
    {"mnuSprav", "Справка", &MainTexts::mnuSprav},
    {"mnuAbout", "О программе...", &MainTexts::mnuAbout},
    {"mnuService", "Сервис", &MainTexts::mnuService},
    {"mnuOptions", "Настройки...", &MainTexts::mnuOptions},
    {"mnuHistory", "История", &MainTexts::mnuHistory},
    {"btnHistory", "История", &MainTexts::btnHistory},
    {"btnClear", "Очистить", &MainTexts::btnClear},
    {"btnJurnal", "Журнал работы", &MainTexts::btnJurnal},
    {"mnuJurnal", "Журнал работы", &MainTexts::mnuJurnal},
    {"mnuProtocol", "Протокол", &MainTexts::mnuProtocol},
    {"btnProtocol", "Протокол", &MainTexts::btnProtocol},
    {"mnuRaport", "Рапорт", &MainTexts::mnuRaport},
    {"btnRaport", "Рапорт", &MainTexts::btnRaport},
    {"btnAttention", "Внимание", &MainTexts::btnAttention},
    {"StopPanel", "Останов", &MainTexts::StopPanel},
    {"mnuLanguage", "Язык", &MainTexts::mnuLanguage},
    {"lngCOMOpen", "COM-порт открыт", &MainTexts::lngCOMOpen},
    {"lngCOMError", "Ошибка COM-порта", &MainTexts::lngCOMError},
    {"lngSviazGood", "Связь с ШВУ установлена", &MainTexts::lngSviazGood},
    {"lngSviazBad", "Сбой связи с ШВУ", &MainTexts::lngSviazBad},
    {"lngPuskPrg", "Запуск программы", &MainTexts::lngPuskPrg},
    {"lngExitPrg", "Выход из программы", &MainTexts::lngExitPrg},
    {"lngSvernut", "Свернуть", &MainTexts::lngSvernut},
    {"lngRazvernut", "Развернуть", &MainTexts::lngRazvernut},
    {"lngRKO1", "РКО-1", &MainTexts::lngRKO1},
    {"lngRTP2", "РТП-2", &MainTexts::lngRTP2},
    {"lngRegDozAuto", "автоматический", &MainTexts::lngRegDozAuto},
    {"lngRegDozHand", "ручной", &MainTexts::lngRegDozHand},
    {"lngRegDozAll", "всего", &MainTexts::lngRegDozAll},
    {"lngAbsent", "отсутствует", &MainTexts::lngAbsent},
    {"lngError", "Ошибка", &MainTexts::lngError},
    {"lngPreview", "Предварительный просмотр", &MainTexts::lngPreview},
    {"lngRapName", "Рапорт за", &MainTexts::lngRapName},
    {"lngSmena1", "1 смена с 22.00 до 06.00", &MainTexts::lngSmena1},
    {"lngSmena2", "2 смена с 06.00 до 14.00", &MainTexts::lngSmena2},
    {"lngSmena3", "3 смена с 14.00 до 22.00", &MainTexts::lngSmena3},
    {"lngRapKodm", "Код материала", &MainTexts::lngRapKodm},
    {"lngRapRegm", "Режим работы", &MainTexts::lngRapRegm},
    {"lngRapVVes", "Отгружено, кг", &MainTexts::lngRapVVes},
    {"lngRapKalosh", "Отгружено, калош", &MainTexts::lngRapKalosh},
    {"avrTenzo", "Неисправность тензопреобразователя дозатора", &MainTexts::avrTenzo},
    {"avrPeregruz", "Перегруз по весу в дозаторе", &MainTexts::avrPeregruz},
    {"avrVpDoz", "Авария вибропитателя дозатора", &MainTexts::avrVpDoz},
    {"avrZatDoz", "Авария затвора дозатора", &MainTexts::avrZatDoz},
    {"avrZatTel", "Авария затвора тележки кольцевого хода", &MainTexts::avrZatTel},
    {"avrTel", "Авария тележки кольцевого хода", &MainTexts::avrTel},
    {"avrPanel", "Нет связи с панелью оператора", &MainTexts::avrPanel},
    {"avrErrUst", "Заданные уставки ошибочны и не приняты", &MainTexts::avrErrUst},
    {"avrNoMat", "Нет материала для дозаторов", &MainTexts::avrNoMat},
    {"avrZatSh", "Авария затвора бункера сдозированной шихты", &MainTexts::avrZatSh},
    {"avrTransp2", "Авария транспортера загрузочного", &MainTexts::avrTransp2},
    {"avrVpProm", "Авария вибропитателя промежуточного бункера", &MainTexts::avrVpProm},
    {"avrUrovSh", "Неисправность уровнемера бункера сдозированной шихты", &MainTexts::avrUrovSh},
    {"avrUrovProm", "Неисправность уровнемера бункера промежуточного", &MainTexts::avrUrovProm},
    {"avrSkip", "Авария механизма подъемника скипового", &MainTexts::avrSkip},
    {"avrTranspBig", "Авария транспортера сборного", &MainTexts::avrTranspBig},
    {"avrTransp1", "Авария транспортера шихты", &MainTexts::avrTransp1},
    {"avrNoCon", "Нет связи с контроллером", &MainTexts::avrNoCon},
    {"avrKaster", "Кастеризация дозаторов", &MainTexts::avrKaster},
    {"avrNapr", "Авария напряжения сети", &MainTexts::avrNapr},
    {"avrCancel", "УСТРАНЕНА", &MainTexts::avrCancel},
    {"lngErrWrite", "Ошибка записи в файл", &MainTexts::lngErrWrite},
    {"lngFileAside", "Повреждённый файл перенесён:", &MainTexts::lngFileAside},
    {"lngDirBusy", "Рабочая папка уже используется другой станцией:", &MainTexts::lngDirBusy},
    {"lngRecovered", "Восстановлены записи, не записанные при выходе:", &MainTexts::lngRecovered},
    {"lngNoPrinter", "Принтер по умолчанию не выбран", &MainTexts::lngNoPrinter},
    {"lngPrinterFailed", "Принтер недоступен:", &MainTexts::lngPrinterFailed},
    {"lngNotPrinted", "Печать не выполнена", &MainTexts::lngNotPrinted},
    {"lngBadTable", "Файл повреждён, это не таблица:", &MainTexts::lngBadTable},
    {"lngNoField", "В таблице нет поля", &MainTexts::lngNoField},
    {"lngReadError", "Файл не читается:", &MainTexts::lngReadError},
    {"lngBadNumber", "Неверное целое число:", &MainTexts::lngBadNumber},
};
} // namespace

MainTexts MainTexts::defaults() {
    MainTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = QString::fromUtf8(e.def);
    return t;
}

MainTexts MainTexts::load(const PrivateProfile& file) {
    MainTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = file.read(kSection, QLatin1String(e.key), QString::fromUtf8(e.def));
    return t;
}

const char* const* MainTexts::keyNames(int* count) {
    // One list: the names in the order of the entries.
    static const auto names = [] {
        std::array<const char*, std::size(kEntries)> n{};
        for (std::size_t i = 0; i < n.size(); ++i)
            n[i] = kEntries[i].key;
        return n;
    }();
    *count = int(names.size());
    return names.data();
}

std::mutex MainTextStore::mutex_;
std::shared_ptr<const MainTexts> MainTextStore::current_ =
    std::make_shared<const MainTexts>(MainTexts::defaults());

std::shared_ptr<const MainTexts> MainTextStore::get() {
    std::lock_guard lock(mutex_);
    return current_;
}

void MainTextStore::set(MainTexts texts) {
    auto next = std::make_shared<const MainTexts>(std::move(texts));
    std::lock_guard lock(mutex_);
    current_ = std::move(next);
}
