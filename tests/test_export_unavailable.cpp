// A build without the office SDK: "Экспорт" says so in Russian and leaves the order as it is.
#include "app/mainwindow.h"
#include "tests/prompt_recorder.h"

#include <QPushButton>
#include <QtTest>

class ExportUnavailableTest : public QObject
{
    Q_OBJECT

private slots:
    void exportSaysItIsUnavailable()
    {
        QStringList messages;
        PromptRecorder prompts;
        prompts.onTell
            = [&messages](const QString &message, const QString &) { messages << message; };
        MainWindow window(nullptr, &prompts);
        window.appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                               QStringLiteral("5"), QStringLiteral("значение=1"),
                               QStringLiteral(""), false);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("pushButton_6")),
                          Qt::LeftButton);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("недоступен в этой сборке")),
                 qPrintable(messages.first()));
        QCOMPARE(window.orderLines().size(), 1);
    }
};

QTEST_MAIN(ExportUnavailableTest)
#include "test_export_unavailable.moc"
