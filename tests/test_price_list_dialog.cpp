// The price list in the window: the options' codes and amounts as the price list names them, the
// "Прайс-лист" dialog driven as the shop's administrator would, and the pages pricing with the
// version in force, before and after midnight.
#include "dialogs/file_pool.h"
#include "dialogs/price_list_dialog.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_file_check.h"
#include "prices/price_versions.h"
#include "tests/page_driver.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 now = 0;
QStringList priceListWarnings;

void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Price list:")))
        priceListWarnings << message;
}

const QDate Today(2026, 6, 10);
const QStringList A4Matte350 = {QStringLiteral("radioButton_3"), QStringLiteral("radioButton_28"),
                                QStringLiteral("radioButton_49"), QStringLiteral("radioButton_78")};

} // namespace

class PriceListDialogTest : public QObject, public PageDriver
{
    Q_OBJECT

    QTemporaryDir folder;
    PriceListDialog *dialog = nullptr;

    PriceListDialog *openDialog()
    {
        click(QStringLiteral("pushButtonPrices"));
        dialog = window->findChild<PriceListDialog *>();
        if (dialog) {
            dialog->confirm = [](const QString &) { return true; };
            dialog->chooseOpenFile = [](const QString &, const QString &) { return QString(); };
        }
        return dialog;
    }
    template<class T> T *inDialog(const char *name) const
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("the dialog has no %s", name);
        return widget;
    }
    QAbstractItemModel *shownRows() const
    {
        return inDialog<QTableView>("tableViewPrices")->model();
    }
    QString report() const
    {
        return inDialog<QPlainTextEdit>("plainTextEditPriceReport")->toPlainText();
    }
    void filterBy(const QString &words) const
    {
        inDialog<QLineEdit>("lineEditPriceFilter")->setText(words);
    }

    // Loads a file through "Загрузить…"; true when it was accepted.
    bool load(const QString &path)
    {
        dialog->chooseOpenFile = [path](const QString &, const QString &) { return path; };
        QSignalSpy checked(dialog, &PriceListDialog::fileChecked);
        QTest::mouseClick(inDialog<QPushButton>("pushButtonImportPrices"), Qt::LeftButton);
        return checked.wait(20000) && checked.first().first().toBool();
    }
    QString write(const QByteArray &content) const
    {
        const QString path = folder.filePath(QStringLiteral("prices.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // Saves the table as a version from that day; true once the database gave it a number.
    bool saveDated(const QDate &from)
    {
        inDialog<QDateEdit>("dateEditPricesFrom")->setDate(from);
        QSignalSpy saved(dialog, &PriceListDialog::versionSaved);
        QTest::mouseClick(inDialog<QPushButton>("pushButtonSaveVersion"), Qt::LeftButton);
        return saved.count() > 0 || saved.wait(10000);
    }
    // The sheet products line for А4, 4+4, Матовая, 350 with "250 мкм Матовая" lamination.
    TableRow priceA4WithLamination()
    {
        showPage(QStringLiteral("page"));
        clickAll(A4Matte350);
        click(QStringLiteral("radioButton_145"));
        return answerAdds(1) ? orderLine(rows() - 1) : TableRow();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        useDesktopFont();
        answerButton = QStringLiteral("pushButton");
        qInstallMessageHandler(recordWarnings);
    }
    void init()
    {
        // Each test function keeps its versions in a database of its own.
        static int round = 0;
        qputenv("PRINTCALC_DATABASE",
                (QStringLiteral("sqlite://")
                 + folder.filePath(QStringLiteral("shop-%1.sqlite").arg(++round)))
                    .toUtf8());
        now = QDateTime(Today, QTime(12, 0)).toMSecsSinceEpoch();
        setPriceClock([] { return now; });
        PriceBook::shared().reset();
        priceListWarnings.clear();
        QVERIFY(openWindow());
        QVERIFY(openDialog());
    }
    void cleanup()
    {
        closeWindow();
        dialog = nullptr;
        PriceBook::shared().reset();
        setPriceClock({});
    }

    // The price list names options by the codes and amounts the pages give them; the form and
    // the two tables must agree, and every option with a code or amount is in one of them.
    void optionsAgreeWithTheForm()
    {
        QVERIFY2(priceListWarnings.isEmpty(),
                 qPrintable(priceListWarnings.join(QLatin1Char('\n'))));
        QSet<QString> named;
        for (const KeyGrammar &grammar : keyGrammars()) {
            for (const KeyPart &part : grammar.parts) {
                for (const KeyOption &option : part.options) {
                    if (part.fixed())
                        continue;
                    auto *button = find<QAbstractButton>(option.objectName);
                    QCOMPARE(button->text(), option.caption);
                    QCOMPARE(button->property("value").toInt(), option.code);
                    QCOMPARE(button->parentWidget()->objectName(), part.group);
                    named.insert(option.objectName);
                }
            }
        }
        for (const ExtraOption &extra : extrasCatalogue()) {
            auto *button = find<QAbstractButton>(extra.objectName);
            QCOMPARE(button->text(), extra.caption);
            const auto *group = qobject_cast<QGroupBox *>(button->parentWidget());
            QVERIFY2(group, qPrintable(extra.objectName + QStringLiteral(" is in no group box")));
            QCOMPARE(group->title(), extra.group);
            QCOMPARE(button->property("value").toDouble(), extra.amount);
            named.insert(extra.objectName);
        }
        const QWidget *engraving = find<QWidget>(QStringLiteral("page_6"));
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (button->property("value").isValid() && !engraving->isAncestorOf(button))
                QVERIFY2(named.contains(button->objectName()),
                         qPrintable(button->objectName()
                                    + QStringLiteral(" is in no price list table")));
        }
    }

    // Export, change one price and one amount in the file, load it back and save it dated: the
    // page prices with it from that day on, the first press after midnight included.
    void roundTripPricesThePage_data()
    {
        QTest::addColumn<int>("daysAhead");
        QTest::addColumn<QString>("before");
        QTest::newRow("dated today") << 0 << "165";
        QTest::newRow("dated tomorrow") << 1 << "146";
    }
    void roundTripPricesThePage()
    {
        // The built-in list in force: the notice says its prices are samples.
        QVERIFY(find<QLabel>(QStringLiteral("labelSamplePrices"))->isVisible());
        QFETCH(int, daysAhead);
        QFETCH(QString, before);
        const QString path = folder.filePath(QStringLiteral("exported.csv"));
        dialog->chooseSaveFile
            = [path](const QString &, const QString &, const QString &) { return path; };
        QSignalSpy written(dialog, &PriceListDialog::fileWritten);
        QTest::mouseClick(inDialog<QPushButton>("pushButtonExportPrices"), Qt::LeftButton);
        // Tens of thousands of keys: the sanitizers' build takes far longer than 20 s.
        QVERIFY(written.wait(180000));
        QFile exported(path);
        QVERIFY2(exported.open(QIODevice::ReadOnly), qPrintable(report()));
        QByteArray content = exported.readAll();
        QVERIFY(content.contains(
            "\"002428\";Листовая: А4 (210х297 мм.), 4+4, Матовая, 350;за лист;66\n"));
        content.replace("Матовая, 350;за лист;66\n\"002431", "Матовая, 350;за лист;70\n\"002431");
        content.replace("250 мкм Матовая;надбавка за шт.;80\n\"sheet.lamination.matte-30",
                        "250 мкм Матовая;надбавка за шт.;95\n\"sheet.lamination.matte-30");
        QVERIFY2(load(write(content)), qPrintable(report()));
        QVERIFY2(report().contains(QStringLiteral("изменено цен и надбавок: 2")),
                 qPrintable(report()));
        QVERIFY2(saveDated(Today.addDays(daysAhead)), qPrintable(report()));
        QCOMPARE(PriceBook::shared().list().versions().size(), 2);
        dialog->close();

        TableRow line = priceA4WithLamination();
        QCOMPARE(line.price, before);
        if (daysAhead > 0) {
            now = QDateTime(Today.addDays(daysAhead), QTime(0, 0, 1)).toMSecsSinceEpoch();
            line = priceA4WithLamination();
            QCOMPARE(line.price, QStringLiteral("165"));
        }
        QCOMPARE(window->orderLines().last().priceVersion, 1);
        // The shop's own version in force with one price changed: the rest are still samples,
        // and the notice says how many (it is not gone while any is left).
        if (daysAhead == 0) {
            const QLabel *notice = find<QLabel>(QStringLiteral("labelSamplePrices"));
            QVERIFY(notice->isVisible());
            QCOMPARE(notice->text().replace(QChar::Nbsp, QLatin1Char(' ')),
                     QStringLiteral("Цены — образец: 3 954 из 3 955 ещё не заданы магазином "
                                    "(«Прайс-лист» → «Загрузить»)"));
        }
        const QString explanation = window->orderLines().last().explanation;
        QVERIFY2(explanation.contains(QStringLiteral("Прайс-лист: версия 1")),
                 qPrintable(explanation));
    }

    // A version saved while a page shows its live price is in that price at once.
    void livePriceFollowsTheVersion()
    {
        showPage(QStringLiteral("page"));
        clickAll(A4Matte350);
        auto *label = find<QLabel>(QStringLiteral("labelLivePrice_1_1"));
        QVERIFY(label->toolTip().contains(QStringLiteral("Прайс-лист: встроенный (версия 0)")));
        filterBy(QStringLiteral("002428"));
        shownRows()->setData(shownRows()->index(0, 3), 70.0);
        QVERIFY2(saveDated(Today), qPrintable(report()));
        QTRY_VERIFY2(label->toolTip().contains(QStringLiteral("Прайс-лист: версия 1")),
                     qPrintable(label->toolTip()));
        QVERIFY2(label->text().contains(QStringLiteral("70")), qPrintable(label->text()));
    }

    // The page prices with the version's codes and amounts, whatever figures its buttons carry.
    void pagesPriceWithTheVersionNotTheButtons_data()
    {
        QTest::addColumn<double>("lamination"); // the version's amount; 0: version 0 in force
        QTest::addColumn<QString>("price");
        QTest::newRow("version 0") << 0.0 << "146";
        QTest::newRow("a version with its own lamination") << 95.0 << "161";
    }
    void pagesPriceWithTheVersionNotTheButtons()
    {
        QFETCH(double, lamination);
        QFETCH(QString, price);
        if (lamination != 0.0) {
            filterBy(QStringLiteral("sheet.lamination.matte-250"));
            shownRows()->setData(shownRows()->index(0, 3), lamination);
            QVERIFY2(saveDated(Today), qPrintable(report()));
        }
        dialog->close();
        // Figures that would make another key (А3, 1+0) and another amount if they were read.
        for (const char *name : {"radioButton_3", "radioButton_28", "radioButton_145"})
            find<QAbstractButton>(QLatin1String(name))->setProperty("value", 3);
        const TableRow line = priceA4WithLamination();
        QCOMPARE(line.price, price);
        QCOMPARE(line.keyText, QStringLiteral("значение=002428"));
    }

    // A saved version is in the database: the next start prices with it.
    void versionsOutliveTheWindow()
    {
        filterBy(QStringLiteral("002428"));
        shownRows()->setData(shownRows()->index(0, 3), 70.0);
        QVERIFY2(saveDated(Today), qPrintable(report()));
        closeWindow();
        PriceBook::shared().reset();
        QVERIFY(openWindow());
        QCOMPARE(PriceBook::shared().inForce().info.number, 1);
        QCOMPARE(window->prices().price(QStringLiteral("002428")), 70.0);
    }

    void filterByWordsOrKey_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("firstMeaning");
        // Five colours priced, and the two quantity tiers' five each listed without a price.
        QTest::newRow("words in any case")
            << "МАТОВАЯ листовая а4 350" << 15 << "Листовая: А4 (210х297 мм.), 1+0, Матовая, 350";
        QTest::newRow("Latin letters for Cyrillic")
            << "a4 Матовая 350 листовая" << 15 << "Листовая: А4 (210х297 мм.), 1+0, Матовая, 350";
        QTest::newRow("a tier's keys")
            << "листовая тираж 1000 а4 матовая 350" << 5
            << "Листовая, тираж 1000–3000: А4 (210х297 мм.), 1+0, Матовая, 350";
        QTest::newRow("a key") << "002428" << 1 << "Листовая: А4 (210х297 мм.), 4+4, Матовая, 350";
        QTest::newRow("a key two pages share") << "000000" << 1
                                               << "Листовая: А6 (105х148 мм.), 1+0, Простая, 80 | "
                                                  "Сувениры: А6 (105х148 мм.), 1+0, Кружки";
        QTest::newRow("an extra by key")
            << "sheet.lamination.matte-250" << 1 << "Листовая: Ламинация — 250 мкм Матовая";
        QTest::newRow("an extra by its former name")
            << "radioButton_145" << 1 << "Листовая: Ламинация — 250 мкм Матовая";
        QTest::newRow("extras by words")
            << "ламинация 250 мкм матовая" << 4 << "Листовая: Ламинация — 250 мкм Матовая";
        QTest::newRow("nothing") << "нет такого" << 0 << "";
    }
    void filterByWordsOrKey()
    {
        QFETCH(QString, words);
        QFETCH(int, shown);
        QFETCH(QString, firstMeaning);
        filterBy(words);
        QCOMPARE(shownRows()->rowCount(), shown);
        QCOMPARE(shownRows()->index(0, 1).data().toString(), firstMeaning);
    }

    void editInPlace()
    {
        filterBy(QStringLiteral("002428"));
        QTableView *table = inDialog<QTableView>("tableViewPrices");
        QVERIFY(!(shownRows()->index(0, 0).flags() & Qt::ItemIsEditable));
        const QModelIndex price = shownRows()->index(0, 3);
        table->setCurrentIndex(price);
        table->edit(price);
        auto *editor = table->findChild<QDoubleSpinBox *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("70,5"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(price.data().toString(), QStringLiteral("70,5"));
        QCOMPARE(inDialog<QLabel>("labelPriceEdits")->text(), QStringLiteral("Изменено: 1"));
        inDialog<QLineEdit>("lineEditPricesNote")->setText(QStringLiteral("бумага подорожала"));
        QVERIFY2(saveDated(Today), qPrintable(report()));
        const PriceVersion &saved = PriceBook::shared().inForce();
        QCOMPARE(saved.info.number, 1);
        QCOMPARE(saved.info.note, QStringLiteral("бумага подорожала"));
        QCOMPARE(saved.prices.price(QStringLiteral("002428")), 70.5);
        QCOMPARE(saved.prices.size(), builtInVersion().prices.size());
        QCOMPARE(dialog->shownVersion(), 1);
        QCOMPARE(inDialog<QLabel>("labelPriceEdits")->text(), QString());
    }

    // A key the pages compose that the list has no price for: "нет цены" until a price is typed
    // and saved; then the version, and so the window, prices it.
    void priceAKeyWithoutOne()
    {
        filterBy(QStringLiteral("601426"));
        QCOMPARE(shownRows()->rowCount(), 1);
        const QModelIndex price = shownRows()->index(0, 3);
        QCOMPARE(price.data().toString(), QStringLiteral("нет цены"));
        QVERIFY(!window->prices().contains(QStringLiteral("601426")));
        QVERIFY(shownRows()->setData(price, 7.5));
        QCOMPARE(price.data().toString(), QStringLiteral("7,5"));
        QVERIFY2(saveDated(Today), qPrintable(report()));
        const PriceVersion &saved = PriceBook::shared().inForce();
        QCOMPARE(saved.info.number, 1);
        QCOMPARE(saved.prices.size(), builtInVersion().prices.size() + 1);
        bool found = false;
        QCOMPARE(window->prices().price(QStringLiteral("601426"), &found), 7.5);
        QVERIFY(found);
    }

    // Sample amounts and odd units carry a tint, a sign and a note; plain prices none.
    void samplePricesMarked_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("tip"); // a part of the price cell's tooltip
        QTest::newRow("interior base 100 500")
            << "interior.base.plastic-4" << true << "заполнитель образца";
        QTest::newRow("mug colour 100 501")
            << "souvenir.material-colour.light" << true << "заполнитель образца";
        QTest::newRow("street per 1000 mm²") << "1211112414" << true << "Цена за 1000 мм²";
        QTest::newRow("interior A2 at 0,001") << "135000" << true << "считает как 0,001";
        QTest::newRow("street base multiplies")
            << "street.base.plastic-2" << true << "умножает цену печати на 100";
        QTest::newRow("a plain sheet price") << "002428" << false << "";
        QTest::newRow("a plain extra") << "sheet.lamination.matte-250" << false << "";
        QTest::newRow("no price yet") << "601426" << false << "Нет цены";
    }
    void samplePricesMarked()
    {
        QFETCH(QString, key);
        QFETCH(bool, marked);
        QFETCH(QString, tip);
        filterBy(key);
        QModelIndex price;
        for (int row = 0; row < shownRows()->rowCount(); ++row) {
            if (shownRows()->index(row, 0).data().toString() == key)
                price = shownRows()->index(row, 3);
        }
        QVERIFY2(price.isValid(), qPrintable(key));
        QCOMPARE(price.data(Qt::BackgroundRole).isValid(), marked);
        QCOMPARE(price.data(Qt::DecorationRole).isValid(), marked);
        const QString shownTip = price.data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.isEmpty() ? shownTip.isEmpty() : shownTip.contains(tip), qPrintable(shownTip));
    }

    void changeByPercent_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("rounding");
        QTest::addColumn<QStringList>("prices"); // were 13, 13, 51, 62, 66
        // The tiers' keys have no price to change.
        const QStringList tiers = QVector<QString>(10, QStringLiteral("нет цены")).toList();
        QTest::newRow("+10 %, whole roubles")
            << 10.0 << 0
            << QStringList {QStringLiteral("14"), QStringLiteral("14"), QStringLiteral("56"),
                            QStringLiteral("68"), QStringLiteral("73")}
                + tiers;
        QTest::newRow("+10 %, to 0.5")
            << 10.0 << 1
            << QStringList {QStringLiteral("14,5"), QStringLiteral("14,5"), QStringLiteral("56"),
                            QStringLiteral("68"), QStringLiteral("72,5")}
                + tiers;
        QTest::newRow("-15 %, whole roubles")
            << -15.0 << 0
            << QStringList {QStringLiteral("11"), QStringLiteral("11"), QStringLiteral("43"),
                            QStringLiteral("53"), QStringLiteral("56")}
                + tiers;
    }
    void changeByPercent()
    {
        QFETCH(double, percent);
        QFETCH(int, rounding);
        QFETCH(QStringList, prices);
        filterBy(QStringLiteral("листовая а4 матовая 350"));
        inDialog<QTableView>("tableViewPrices")->selectAll();
        inDialog<QDoubleSpinBox>("doubleSpinBoxPercent")->setValue(percent);
        inDialog<QComboBox>("comboBoxRounding")->setCurrentIndex(rounding);
        QTest::mouseClick(inDialog<QPushButton>("pushButtonChangeSelected"), Qt::LeftButton);
        QStringList shown;
        for (int row = 0; row < shownRows()->rowCount(); ++row)
            shown << shownRows()->index(row, 3).data().toString();
        QCOMPARE(shown, prices);
        filterBy(QStringLiteral("листовая а4 матовая 320"));
        const QString unselected = shownRows()->index(0, 0).data().toString();
        QCOMPARE(shownRows()->index(0, 3).data().toString(),
                 priceFileNumber(builtInVersion().prices.price(unselected)));
    }

    // Saving says what was saved and where its prices came from; edits made in the window are no
    // file, and the check of them says so.
    void savedSaysWhatAndFromWhere_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("source");
        QTest::newRow("edited in the window")
            << false << "Изменения можно сохранить: ошибок нет, предупреждений — 1."
            << " — цены, изменённые в этом окне. Изменено цен и надбавок: 1.";
        QTest::newRow("loaded from a file")
            << true << "Изменения можно сохранить: ошибок нет, предупреждений — 1."
            << " — цены из файла PATH. Изменено цен и надбавок: 1.";
    }
    void savedSaysWhatAndFromWhere()
    {
        QFETCH(bool, fromFile);
        QFETCH(QString, checked);
        QFETCH(QString, source);
        QString path;
        if (fromFile) {
            path = write("ключ;цена\n002428;200\n");
            QVERIFY2(load(path), qPrintable(report()));
        } else {
            filterBy(QStringLiteral("002428"));
            shownRows()->setData(shownRows()->index(0, 3), 200.0);
        }
        dialog->confirm = [](const QString &) { return true; };
        QVERIFY2(saveDated(Today), qPrintable(report()));
        const QStringList lines = report().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), checked);
        QVERIFY2(!lines
                      .filter(QRegularExpression(
                          QStringLiteral("^Предупреждение — 002428: цена 66 → 200 \\(")))
                      .isEmpty(),
                 qPrintable(report()));
        QVERIFY2(!report().contains(QStringLiteral("Файл можно загрузить")), qPrintable(report()));
        QVERIFY2(lines.last().startsWith(QStringLiteral("Сохранён прайс-лист: версия 1"))
                     && lines.last().endsWith(QString(source).replace(
                         QStringLiteral("PATH"), QDir::toNativeSeparators(path))),
                 qPrintable(report()));
    }

    // "Все цены — мои…": one step, asked first, makes every price of the version in force the
    // shop's; the prices themselves stay.
    void confirmAllPrices_data()
    {
        QTest::addColumn<bool>("agreed");
        QTest::addColumn<int>("versions");
        QTest::addColumn<QString>("told");
        QTest::newRow("agreed") << true << 2 << "подтверждено цен-образцов: 3955 из 3955.";
        QTest::newRow("declined") << false << 1 << "";
    }
    void confirmAllPrices()
    {
        QFETCH(bool, agreed);
        QFETCH(int, versions);
        QFETCH(QString, told);
        QStringList asked;
        dialog->confirm = [&](const QString &question) {
            asked << question;
            return agreed;
        };
        inDialog<QDateEdit>("dateEditPricesFrom")->setDate(Today);
        QSignalSpy saved(dialog, &PriceListDialog::versionSaved);
        QTest::mouseClick(inDialog<QPushButton>("pushButtonConfirmPrices"), Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.first().startsWith(QStringLiteral("Цен-образцов в действующей версии: 3955 "
                                                         "из 3955.")),
                 qPrintable(asked.first()));
        if (agreed)
            QVERIFY(saved.count() > 0 || saved.wait(10000));
        QCOMPARE(PriceBook::shared().list().versions().size(), versions);
        QCOMPARE(samplePriceCount(PriceBook::shared().inForce().prices) == 0, agreed);
        QCOMPARE(PriceBook::shared().inForce().prices.price(QStringLiteral("002428")), 66.0);
        QVERIFY2(report().endsWith(told), qPrintable(report()));
    }

    void warningsAskBeforeSaving()
    {
        filterBy(QStringLiteral("002428"));
        shownRows()->setData(shownRows()->index(0, 3), 200.0);
        QStringList asked;
        dialog->confirm = [&asked](const QString &question) {
            asked << question;
            return false;
        };
        // Declined: nothing goes to the database.
        QTest::mouseClick(inDialog<QPushButton>("pushButtonSaveVersion"), Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(PriceBook::shared().list().versions().size(), 1);
        QVERIFY2(report().contains(QStringLiteral("002428: цена 66 → 200 (+203 %)")),
                 qPrintable(report()));
        dialog->confirm = [](const QString &) { return true; };
        QVERIFY2(saveDated(Today), qPrintable(report()));
        QCOMPARE(PriceBook::shared().inForce().prices.price(QStringLiteral("002428")), 200.0);
    }

    void brokenFileChangesNothing()
    {
        QVERIFY(!load(write("ключ;цена\n002428;70\n2428;70\n002427;-1\n")));
        QVERIFY2(report().contains(QStringLiteral(
                     "Строка 3: ошибка — 2428 — возможно, 002428: ведущие нули потеряны.")),
                 qPrintable(report()));
        QVERIFY(report().contains(QStringLiteral("Строка 4: ошибка — цена -1 меньше нуля.")));
        QCOMPARE(inDialog<QLabel>("labelPriceEdits")->text(), QString());
        QCOMPARE(PriceBook::shared().list().versions().size(), 1);
    }

    // A million rows: the click returns at once, the check runs beside the window and refuses.
    void hugeFileNeverFreezes()
    {
        QByteArray content = "ключ;цена\n";
        content.reserve(12000000);
        for (int i = 0; i < 1000000; ++i)
            content += "002428;66\n";
        const QString path = write(content);
        dialog->chooseOpenFile = [path](const QString &, const QString &) { return path; };
        QSignalSpy checked(dialog, &PriceListDialog::fileChecked);
        QElapsedTimer click;
        click.start();
        QTest::mouseClick(inDialog<QPushButton>("pushButtonImportPrices"), Qt::LeftButton);
        QVERIFY2(click.elapsed() < 200,
                 qPrintable(QString::number(click.elapsed()) + QStringLiteral(" ms")));
        QVERIFY(checked.wait(20000));
        QCOMPARE(checked.first().first().toBool(), false);
        QVERIFY2(report().contains(QStringLiteral("1 000 001 строк, больше допустимых 100 000")),
                 qPrintable(report()));
    }

    // A file that never answers (a pipe nobody writes into, as a share that hangs): the dialog
    // stops waiting when the operator cancels or the time runs out, says so, and takes presses
    // again; what the abandoned reading brings later changes nothing.
    void fileThatNeverAnswers_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("told");
        QTest::newRow("cancelled")
            << true << "Файл не загружен: ожидание отменено. Цены в таблице прежние.";
        // The report's plain text gives the no-break space before "с" as a space.
        QTest::newRow("time ran out")
            << false
            << "Файл не загружен: за 1 с ответа нет (файл на недоступном диске, или "
               "LibreOffice не отвечает). Цены в таблице прежние.";
    }
    void fileThatNeverAnswers()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, told);
        const QString pipe = folder.filePath(QStringLiteral("hanging-%1.csv").arg(cancel));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        dialog->setFileTimeLimit(1000);
        dialog->chooseOpenFile = [pipe](const QString &, const QString &) { return pipe; };
        QSignalSpy checked(dialog, &PriceListDialog::fileChecked);
        auto *import = inDialog<QPushButton>("pushButtonImportPrices");
        auto *stop = inDialog<QPushButton>("pushButtonCancelPriceFile");
        QVERIFY(!stop->isVisible());
        QTest::mouseClick(import, Qt::LeftButton);
        QVERIFY(!import->isEnabled());
        QVERIFY(stop->isVisible());
        if (cancel)
            QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(checked.count() == 1 || checked.wait(5000));
        QCOMPARE(checked.first().first().toBool(), false);
        QCOMPARE(report(), told);
        QVERIFY(import->isEnabled());
        QVERIFY(!stop->isVisible());

        // The pipe lets go once the abandoned reading waits at it: the reading ends beside the
        // window, and nobody hears of it.
        int writer = -1;
        QVERIFY(QTest::qWaitFor(
            [&] {
                writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                return writer >= 0;
            },
            5000));
        ::close(writer);
        QTRY_COMPARE_WITH_TIMEOUT(filePool()->activeThreadCount(), 0, 60000);
        QCoreApplication::processEvents();
        QCOMPARE(checked.count(), 1);
        QCOMPARE(report(), told);
    }
};

QTEST_MAIN(PriceListDialogTest)
#include "test_price_list_dialog.moc"
