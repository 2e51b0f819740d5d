#pragma once
// The texts of the main window's language section: captions of its controls and the message
// texts the rest of the station builds events from. A loaded set never changes; a language
// switch publishes a new set, so a reader on the poll thread sees all old or all new texts.
#include <QString>
#include <memory>
#include <mutex>

class PrivateProfile;

// Every text of section Main once, in the order the language file is read: its field and key
// name, and its built-in Russian text. The struct and the reading table are made from it.
#define KORVEL_MAIN_TEXTS(X)                                                                       \
    X(MainFormKorvel, "Загрузка доменных печей")                                                   \
    X(mnuTabZad, "Таблица заданий")                                                                \
    X(mnuMnemo, "Мнемосхема")                                                                      \
    X(mnuComands, "Функции")                                                                       \
    X(mnuOut, "Выход")                                                                             \
    X(mnuExit, "Выйти из программы")                                                               \
    X(btnTabZad, "Таблица заданий")                                                                \
    X(btnMnemo, "Мнемосхема")                                                                      \
    X(mnuHelp, "Помощь")                                                                           \
    X(mnuSprav, "Справка")                                                                         \
    X(mnuAbout, "О программе...")                                                                  \
    X(mnuService, "Сервис")                                                                        \
    X(mnuOptions, "Настройки...")                                                                  \
    X(mnuHistory, "История")                                                                       \
    X(btnHistory, "История")                                                                       \
    X(btnClear, "Очистить")                                                                        \
    X(btnJurnal, "Журнал работы")                                                                  \
    X(mnuJurnal, "Журнал работы")                                                                  \
    X(mnuProtocol, "Протокол")                                                                     \
    X(btnProtocol, "Протокол")                                                                     \
    X(mnuRaport, "Рапорт")                                                                         \
    X(btnRaport, "Рапорт")                                                                         \
    X(btnAttention, "Внимание")                                                                    \
    X(StopPanel, "Останов")                                                                        \
    X(mnuLanguage, "Язык")                                                                         \
    X(lngCOMOpen, "COM-порт открыт")                                                               \
    X(lngCOMError, "Ошибка COM-порта")                                                             \
    X(lngSviazGood, "Связь с ШВУ установлена")                                                     \
    X(lngSviazBad, "Сбой связи с ШВУ")                                                             \
    X(lngPuskPrg, "Запуск программы")                                                              \
    X(lngExitPrg, "Выход из программы")                                                            \
    X(lngSvernut, "Свернуть")                                                                      \
    X(lngRazvernut, "Развернуть")                                                                  \
    X(lngRKO1, "РКО-1")                                                                            \
    X(lngRTP2, "РТП-2")                                                                            \
    X(lngRegDozAuto, "автоматический")                                                             \
    X(lngRegDozHand, "ручной")                                                                     \
    X(lngRegDozAll, "всего")                                                                       \
    X(lngAbsent, "отсутствует")                                                                    \
    X(lngError, "Ошибка")                                                                          \
    X(lngPreview, "Предварительный просмотр")                                                      \
    X(lngRapName, "Рапорт за")                                                                     \
    X(lngSmena1, "1 смена с 22.00 до 06.00")                                                       \
    X(lngSmena2, "2 смена с 06.00 до 14.00")                                                       \
    X(lngSmena3, "3 смена с 14.00 до 22.00")                                                       \
    X(lngRapKodm, "Код материала")                                                                 \
    X(lngRapRegm, "Режим работы")                                                                  \
    X(lngRapVVes, "Отгружено, кг")                                                                 \
    X(lngRapKalosh, "Отгружено, калош")                                                            \
    X(avrTenzo, "Неисправность тензопреобразователя дозатора")                                     \
    X(avrPeregruz, "Перегруз по весу в дозаторе")                                                  \
    X(avrVpDoz, "Авария вибропитателя дозатора")                                                   \
    X(avrZatDoz, "Авария затвора дозатора")                                                        \
    X(avrZatTel, "Авария затвора тележки кольцевого хода")                                         \
    X(avrTel, "Авария тележки кольцевого хода")                                                    \
    X(avrPanel, "Нет связи с панелью оператора")                                                   \
    X(avrErrUst, "Заданные уставки ошибочны и не приняты")                                         \
    X(avrNoMat, "Нет материала для дозаторов")                                                     \
    X(avrZatSh, "Авария затвора бункера сдозированной шихты")                                      \
    X(avrTransp2, "Авария транспортера загрузочного")                                              \
    X(avrVpProm, "Авария вибропитателя промежуточного бункера")                                    \
    X(avrUrovSh, "Неисправность уровнемера бункера сдозированной шихты")                           \
    X(avrUrovProm, "Неисправность уровнемера бункера промежуточного")                              \
    X(avrSkip, "Авария механизма подъемника скипового")                                            \
    X(avrTranspBig, "Авария транспортера сборного")                                                \
    X(avrTransp1, "Авария транспортера шихты")                                                     \
    X(avrNoCon, "Нет связи с контроллером")                                                        \
    X(avrKaster, "Кастеризация дозаторов")                                                         \
    X(avrNapr, "Авария напряжения сети")                                                           \
    X(avrCancel, "УСТРАНЕНА")                                                                      \
    X(lngErrWrite, "Ошибка записи в файл")                                                         \
    /* "<text> jur_2026_12_10.dbf → jur_2026_12_10.dbf.damaged": not a table of its kind */      \
    X(lngFileAside, "Повреждённый файл перенесён:")                                                \
    /* "<text> /path": a second station started in a working folder in use */                      \
    X(lngDirBusy, "Рабочая папка уже используется другой станцией:")                               \
    /* "<text> 12": records of the last run written at this start */                               \
    X(lngRecovered, "Восстановлены записи, не записанные при выходе:")                             \
    /* Why nothing was printed: no printer chosen, the chosen printer not available (its */        \
    /* name follows), the job refused or without a page to print. */                               \
    X(lngNoPrinter, "Принтер по умолчанию не выбран")                                              \
    X(lngPrinterFailed, "Принтер недоступен:")                                                     \
    X(lngNotPrinted, "Печать не выполнена")                                                        \
    /* "<text> doz_2010_03_05.dbf": a day's file that is not a table */                            \
    X(lngBadTable, "Файл повреждён, это не таблица:")                                              \
    /* "<text> VES: doz_2010_03_05.dbf": a day's table without a field the view reads */           \
    X(lngNoField, "В таблице нет поля")                                                            \
    /* "<text> doz_2010_03_05.dbf": a day's file that cannot be read */                            \
    X(lngReadError, "Файл не читается:")                                                           \
    /* "<text> 'abc'": a dialog field whose text is not a whole number */                          \
    X(lngBadNumber, "Неверное целое число:")                                                       \
    /* "<text> <why>": publishing to the plant's MQTT broker is off from the start */              \
    X(lngMqttOff, "Публикация на брокер MQTT отключена:")                                          \
    /* "<text> <why>": publishing stopped working; told once, not once per attempt */              \
    X(lngMqttStopped, "Публикация на брокер MQTT прервана:")                                       \
    X(lngMqttWorks, "Публикация на брокер MQTT восстановлена")

struct MainTexts {
#define KORVEL_MAIN_TEXT_FIELD(name, russian) QString name;
    KORVEL_MAIN_TEXTS(KORVEL_MAIN_TEXT_FIELD)
#undef KORVEL_MAIN_TEXT_FIELD

    // The built-in Russian texts.
    static MainTexts defaults();
    // Reads section Main of a language file in its fixed order; missing keys keep the default.
    static MainTexts load(const PrivateProfile& file);
    // Key names in reading order, for the sample language file and its test.
    static const char* const* keyNames(int* count);
};

// The current set of main texts, shared between the user-interface and poll threads.
class MainTextStore {
public:
    static std::shared_ptr<const MainTexts> get();
    static void set(MainTexts texts);

private:
    static std::mutex mutex_;
    static std::shared_ptr<const MainTexts> current_;
};
