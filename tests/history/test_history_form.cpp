#include <QtTest>
class HistoryFormTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(HistoryFormTest)
#include "test_history_form.moc"
