// "Справка" and F1 open the same guide, the one this build rendered, with every picture it shows;
// without any guide the operator is told where it belongs.
#include "tests/page_driver.h"

#include "app/guide_opener.h"

#include <QRegularExpression>
#include <QToolButton>

class GuideTest : public QObject, private PageDriver
{
    Q_OBJECT

    QList<QUrl> opened;

    GuideOpener *opener() const { return window->findChild<GuideOpener *>(); }

private slots:
    void init()
    {
        QVERIFY(openWindow());
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QVERIFY2(opener(), "the window has no guide opener");
        opened.clear();
        opener()->openUrl = [this](const QUrl &url) {
            opened << url;
            return true;
        };
    }
    void cleanup() { closeWindow(); }

    void opensTheBuildsGuide_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("F1 in the sheet products' quantity field") << true;
        QTest::newRow("the status bar's \"Справка (F1)\"") << false;
    }
    void opensTheBuildsGuide()
    {
        QFETCH(bool, byKey);
        if (byKey) {
            auto *field = window->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
            QVERIFY(field);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_F1);
        } else {
            auto *button = window->findChild<QToolButton *>(QStringLiteral("toolButtonGuide"));
            QVERIFY2(button && button->isVisible(), "no visible guide button");
            QCOMPARE(button->text(), QStringLiteral("Справка (F1)"));
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(opened, QList<QUrl> {QUrl::fromLocalFile(QStringLiteral(PRINTCALC_BUILD_GUIDE))});
        QVERIFY2(QFileInfo(opened.first().toLocalFile()).isFile(), "the guide was not rendered");
        QCOMPARE(prompts.titles, QStringList());
    }

    void missingGuideSaysWhereItBelongs()
    {
        QString told;
        prompts.onTell = [&told](const QString &message, const QString &) { told = message; };
        opener()->lookIn
            = QStringList {QStringLiteral("/nonexistent/usr/share/printcalc/guide/index.html"),
                           QStringLiteral("/nonexistent/build/guide/index.html")};
        QTest::keyClick(window, Qt::Key_F1);
        QCOMPARE(opened, QList<QUrl>());
        QCOMPARE(prompts.titles, QStringList {QStringLiteral("Справка")});
        QVERIFY2(told.contains(QStringLiteral("/nonexistent/usr/share/printcalc/guide/index.html")),
                 qPrintable(told));
    }

    void everyPictureIsThere()
    {
        QFile page(QStringLiteral(PRINTCALC_BUILD_GUIDE));
        QVERIFY2(page.open(QIODevice::ReadOnly), "the guide was not rendered");
        const QString html = QString::fromUtf8(page.readAll());
        const QDir folder = QFileInfo(page).absoluteDir();
        int pictures = 0;
        auto images
            = QRegularExpression(QStringLiteral("<img [^>]*src=\"([^\"]+)\"")).globalMatch(html);
        while (images.hasNext()) {
            const QString picture = images.next().captured(1);
            QVERIFY2(QFileInfo(folder.filePath(picture)).isFile(), qPrintable(picture));
            ++pictures;
        }
        QVERIFY2(pictures >= 6, qPrintable(QString::number(pictures)));
    }
};

QTEST_MAIN(GuideTest)
#include "test_guide.moc"
