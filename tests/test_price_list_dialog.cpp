#include <QtTest>
class T:public QObject{Q_OBJECT};
QTEST_MAIN(T)
#include "test_price_list_dialog.moc"
