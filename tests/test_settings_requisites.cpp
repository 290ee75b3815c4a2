// The shop's requisites in "Настройки": each checked as it is typed, the mistake told under its
// field, the note on the payment QR code, and the file written back without losing a key.
#include "dialogs/settings_dialog.h"
#include "documents/document_settings.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

// Requisites that pass every check: a bank's published ones and an account made to match them.
const QByteArray ValidRequisites = "[requisites]\n"
                                   "name=ООО «Ясный лист»\n"
                                   "inn=7707083893\n"
                                   "kpp=770701001\n"
                                   "ogrn=1027700132195\n"
                                   "bankName=ПАО Банк\n"
                                   "bik=044525225\n"
                                   "settlementAccount=40702810938000012345\n"
                                   "corrAccount=30101810400000000225\n";

const char *const MarkNames[] = {"labelInnProblem",
                                 "labelKppProblem",
                                 "labelOgrnProblem",
                                 "labelBikProblem",
                                 "labelSettlementAccountProblem",
                                 "labelCorrAccountProblem"};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class SettingsRequisitesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(writeFile(settingsFilePath(), ValidRequisites)); }

    // One field typed over the valid requisites: the mark under it (empty: none shown, and no
    // other field marked either) and the note on the QR code.
    void markedAsTyped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("markName");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("qrNote");
        // Marks that follow on other fields, in the order of the fields.
        QTest::addColumn<QStringList>("following");
        const QString noQr = QStringLiteral("В счетах не будет QR-кода для оплаты: %1 Сохранить "
                                            "настройки можно и так.");
        QTest::newRow("all valid") << "lineEditInn"
                                   << "7707083893"
                                   << "labelInnProblem"
                                   << ""
                                   << "" << QStringList();
        QTest::newRow("blanks around a valid ИНН") << "lineEditInn"
                                                   << " 7707083893 "
                                                   << "labelInnProblem"
                                                   << ""
                                                   << "" << QStringList();
        QTest::newRow("ИНН control digit")
            << "lineEditInn"
            << "7707083894"
            << "labelInnProblem"
            << "ИНН: не сходится контрольная цифра — проверьте номер"
            << noQr.arg(QStringLiteral("ИНН «7707083894» неверен.")) << QStringList();
        QTest::newRow("ИНН of 9 digits")
            << "lineEditInn"
            << "770708389"
            << "labelInnProblem"
            << "ИНН: 10 цифр у организации или 12 у ИП, введено цифр: 9"
            << noQr.arg(QStringLiteral("ИНН «770708389» неверен.")) << QStringList();
        QTest::newRow("ИНН with a letter")
            << "lineEditInn"
            << "77070838A3"
            << "labelInnProblem"
            << "ИНН: только цифры, без пробелов и других знаков"
            << noQr.arg(QStringLiteral("ИНН «77070838A3» неверен.")) << QStringList();
        QTest::newRow("ИНН of a sole trader: no КПП") << "lineEditInn"
                                                      << "500000000029"
                                                      << "labelKppProblem"
                                                      << "КПП: бывает только у организации"
                                                      << "" << QStringList();
        QTest::newRow("КПП of 8")
            << "lineEditKpp"
            << "77070100"
            << "labelKppProblem"
            << "КПП: 9 знаков: 4 цифры, 2 цифры или заглавные латинские буквы, 3 цифры"
            << noQr.arg(QStringLiteral("КПП «77070100» неверен.")) << QStringList();
        QTest::newRow("КПП with capital letters") << "lineEditKpp"
                                                  << "7707AB001"
                                                  << "labelKppProblem"
                                                  << ""
                                                  << "" << QStringList();
        QTest::newRow("ОГРН control digit")
            << "lineEditOgrn"
            << "1027700132196"
            << "labelOgrnProblem"
            << "ОГРН: не сходится контрольная цифра — проверьте номер"
            << "" << QStringList();
        QTest::newRow("ОГРНИП valid") << "lineEditOgrn"
                                      << "304770000000019"
                                      << "labelOgrnProblem"
                                      << ""
                                      << "" << QStringList();
        QTest::newRow("ОГРНИП control digit")
            << "lineEditOgrn"
            << "304770000000018"
            << "labelOgrnProblem"
            << "ОГРНИП: не сходится контрольная цифра — проверьте номер"
            << "" << QStringList();
        QTest::newRow("БИК of 6")
            << "lineEditBik"
            << "044525"
            << "labelBikProblem"
            << "БИК: 9 цифр, введено 6 цифр" << noQr.arg(QStringLiteral("БИК «044525» неверен."))
            << QStringList {QStringLiteral("Расчётный счёт: не проверить, пока неверен БИК"),
                            QStringLiteral("Корр. счёт: не проверить, пока неверен БИК")};
        QTest::newRow("БИК not Russian")
            << "lineEditBik"
            << "144525225"
            << "labelBikProblem"
            << "БИК: российский БИК начинается с 04"
            << noQr.arg(QStringLiteral("БИК «144525225» неверен."))
            << QStringList {QStringLiteral("Расчётный счёт: не проверить, пока неверен БИК"),
                            QStringLiteral("Корр. счёт: не проверить, пока неверен БИК")};
        QTest::newRow("settlement account's key")
            << "lineEditSettlementAccount"
            << "40702810938000012346"
            << "labelSettlementAccountProblem"
            << "Расчётный счёт: не сходится с БИК — проверьте счёт и БИК"
            << noQr.arg(QStringLiteral("расчётный счёт «40702810938000012346» не сходится с БИК."))
            << QStringList();
        QTest::newRow("settlement account of 19")
            << "lineEditSettlementAccount"
            << "4070281093800001234"
            << "labelSettlementAccountProblem"
            << "Расчётный счёт: 20 цифр, введено 19 цифр"
            << noQr.arg(QStringLiteral("расчётный счёт «4070281093800001234» не сходится с БИК."))
            << QStringList();
        QTest::newRow("no settlement account")
            << "lineEditSettlementAccount"
            << ""
            << "labelSettlementAccountProblem"
            << "" << noQr.arg(QStringLiteral("не указан расчётный счёт.")) << QStringList();
        QTest::newRow("correspondent account not 301")
            << "lineEditCorrAccount"
            << "40101810400000000225"
            << "labelCorrAccountProblem"
            << "Корр. счёт: начинается с 301"
            << noQr.arg(QStringLiteral("корр. счёт «40101810400000000225» не сходится с БИК."))
            << QStringList();
        QTest::newRow("correspondent account's key")
            << "lineEditCorrAccount"
            << "30101810400000000226"
            << "labelCorrAccountProblem"
            << "Корр. счёт: не сходится с БИК — проверьте счёт и БИК"
            << noQr.arg(QStringLiteral("корр. счёт «30101810400000000226» не сходится с БИК."))
            << QStringList();
        QTest::newRow("no bank name")
            << "lineEditBankName"
            << ""
            << "labelBikProblem"
            << "" << noQr.arg(QStringLiteral("не указан банк.")) << QStringList();
        QTest::newRow("no name") << "lineEditShopName"
                                 << ""
                                 << "labelInnProblem"
                                 << ""
                                 << noQr.arg(QStringLiteral("не указано наименование магазина."))
                                 << QStringList();
    }
    void markedAsTyped()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, markName);
        QFETCH(QString, mark);
        QFETCH(QString, qrNote);
        QFETCH(QStringList, following);
        SettingsDialog dialog;
        dialog.show();
        auto *edit = dialog.findChild<QLineEdit *>(field);
        QVERIFY2(edit, qPrintable(field));
        edit->selectAll();
        edit->del();
        edit->insert(typed);
        auto *label = dialog.findChild<QLabel *>(markName);
        QVERIFY2(label, qPrintable(markName));
        QCOMPARE(label->text(), mark);
        QCOMPARE(label->isVisible(), !mark.isEmpty());
        QStringList others;
        for (const char *other : MarkNames) {
            auto *otherLabel = dialog.findChild<QLabel *>(QLatin1String(other));
            if (markName != QLatin1String(other) && !otherLabel->isHidden())
                others << otherLabel->text();
        }
        QCOMPARE(others, following);
        auto *note = dialog.findChild<QLabel *>(QStringLiteral("labelQrNote"));
        QCOMPARE(note->text(), qrNote);
        QCOMPARE(note->isVisible(), !qrNote.isEmpty());
    }

    // A wrong requisite is saved all the same; the older free-text lines and the opening hours
    // go back to the file as they were, the new fields beside them.
    void savedWithMistakeAndOlderLines()
    {
        QVERIFY(writeFile(settingsFilePath(),
                          ValidRequisites
                              + "taxNumbers=ИНН 7707083893, тел. 22-33-44\n"
                                "bank=АО «Банк Энска»\naccount=Р/с 40702810938000012345\n"
                                "hours=пн–пт 9–19\n"));
        SettingsDialog dialog;
        dialog.show();
        auto *account = dialog.findChild<QLineEdit *>(QStringLiteral("lineEditSettlementAccount"));
        account->selectAll();
        account->del();
        account->insert(QStringLiteral("40702810938000012346"));
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const ShopRequisites saved = DocumentSettings::load().requisites;
        QCOMPARE(saved.settlementAccount, QStringLiteral("40702810938000012346"));
        QCOMPARE(saved.inn, QStringLiteral("7707083893"));
        QCOMPARE(saved.kpp, QStringLiteral("770701001"));
        QCOMPARE(saved.ogrn, QStringLiteral("1027700132195"));
        QCOMPARE(saved.bankName, QStringLiteral("ПАО Банк"));
        QCOMPARE(saved.bik, QStringLiteral("044525225"));
        QCOMPARE(saved.corrAccount, QStringLiteral("30101810400000000225"));
        QCOMPARE(saved.taxNumbers, QStringLiteral("ИНН 7707083893, тел. 22-33-44"));
        QCOMPARE(saved.bank, QStringLiteral("АО «Банк Энска»"));
        QCOMPARE(saved.account, QStringLiteral("Р/с 40702810938000012345"));
        QVERIFY2(readFile(settingsFilePath()).contains("hours=пн–пт 9–19\n"),
                 readFile(settingsFilePath()).constData());

        // An emptied field leaves the file; an emptied hours line too.
        SettingsDialog again;
        for (const char *name : {"lineEditOgrn", "lineEditHours"})
            again.findChild<QLineEdit *>(QLatin1String(name))->clear();
        QVERIFY(again.save());
        const QByteArray file = readFile(settingsFilePath());
        QVERIFY2(!file.contains("ogrn=") && !file.contains("hours="), file.constData());
    }

    // On a low screen the groups scroll: the dialog fits, its buttons stay in sight, and no
    // field is squeezed below its width.
    void fitsALowScreen()
    {
        SettingsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect screen = dialog.screen()->availableGeometry();
        QVERIFY2(dialog.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 > %2").arg(dialog.height()).arg(screen.height())));
        auto *scroll = dialog.findChild<QScrollArea *>(QStringLiteral("scrollAreaSettings"));
        if (scroll->widget()->height() > scroll->viewport()->height())
            QVERIFY(scroll->verticalScrollBar()->isVisible());
        for (const QLineEdit *edit : scroll->widget()->findChildren<QLineEdit *>())
            QVERIFY2(edit->width() >= edit->minimumWidth(), qPrintable(edit->objectName()));
        // Groups wider than a narrow screen scroll sideways rather than lose their right edge.
        if (scroll->widget()->width() > scroll->viewport()->width())
            QVERIFY(scroll->horizontalScrollBar()->isVisible());
        QVERIFY(dialog.findChild<QDialogButtonBox *>()->isVisible());
    }
};

QTEST_MAIN(SettingsRequisitesTest)
#include "test_settings_requisites.moc"
