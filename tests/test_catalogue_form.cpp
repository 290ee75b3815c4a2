// The catalogue against the real window: its captions are the form's, and every option, clicked
// in the window and named to the catalogue, gives the lines "Ответ" appends.
#include "prices/price_versions.h"
#include "pricing/catalogue.h"
#include "tests/page_driver.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QValidator>

class CatalogueFormTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesktopFont(); }
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void pages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("quantity"); // a run that brings a tier line on laser pages
        QTest::newRow("sheet products") << int(PricingPage::SheetProducts) << "page"
                                        << "pushButton"
                                        << "700";
        QTest::newRow("brochures") << int(PricingPage::Brochures) << "page_2"
                                   << "pushButton_2"
                                   << "1200";
        QTest::newRow("street") << int(PricingPage::Street) << "page_3"
                                << "pushButton_12"
                                << "3";
        QTest::newRow("interior") << int(PricingPage::Interior) << "page_4"
                                  << "pushButton_9"
                                  << "4";
        QTest::newRow("souvenir") << int(PricingPage::Souvenir) << "page_5"
                                  << "pushButton_15"
                                  << "5";
    }

    void captionsAreTheForm_data() { pages_data(); }
    void captionsAreTheForm()
    {
        QFETCH(int, page);
        QFETCH(QString, widget);
        const CataloguePage &entry = *cataloguePage(PricingPage(page));
        const QToolBox *box = nullptr;
        for (QWidget *outer = find<QWidget>(widget); outer && !box; outer = outer->parentWidget())
            box = qobject_cast<QToolBox *>(outer);
        QVERIFY2(box, "the page is no tool box item");
        QCOMPARE(entry.title, box->itemText(box->indexOf(find<QWidget>(widget))));
        for (const CatalogueGroup &group : entry.groups) {
            const auto *groupBox = find<QGroupBox>(group.id);
            QCOMPARE(group.title, groupBox->title());
            // In the order the form shows them: row by row, left to right.
            QVector<const QAbstractButton *> buttons;
            for (const QObject *child : groupBox->children())
                if (qobject_cast<const QRadioButton *>(child)
                    || qobject_cast<const QCheckBox *>(child))
                    buttons << qobject_cast<const QAbstractButton *>(child);
            // The grid's cells, read from the layouts (a page not shown has no geometry yet).
            QList<QGridLayout *> grids = groupBox->findChildren<QGridLayout *>();
            if (auto *own = qobject_cast<QGridLayout *>(groupBox->layout()))
                grids.prepend(own);
            const auto cell = [&grids](const QAbstractButton *button) {
                for (int g = 0; g < grids.size(); ++g) {
                    const int at = grids.at(g)->indexOf(const_cast<QAbstractButton *>(button));
                    if (at < 0)
                        continue;
                    int row = 0, column = 0, rows = 0, columns = 0;
                    grids.at(g)->getItemPosition(at, &row, &column, &rows, &columns);
                    return std::make_tuple(g, row, column);
                }
                return std::make_tuple(int(grids.size()), 0, 0);
            };
            std::stable_sort(buttons.begin(), buttons.end(),
                             [&cell](auto *a, auto *b) { return cell(a) < cell(b); });
            QStringList formButtons, catalogueButtons;
            for (const QAbstractButton *button : qAsConst(buttons))
                formButtons << button->objectName() + QLatin1Char('=') + button->text()
                        + (qobject_cast<const QCheckBox *>(button) ? QStringLiteral(" [x]")
                                                                   : QString());
            for (const CatalogueOption &option : group.options)
                catalogueButtons << option.id + QLatin1Char('=') + option.caption
                        + (group.multiple ? QStringLiteral(" [x]") : QString());
            QCOMPARE(catalogueButtons, formButtons);
        }
        for (const CatalogueField &field : entry.fields) {
            const auto *edit = find<QLineEdit>(field.id);
            const auto *validator = qobject_cast<const QIntValidator *>(edit->validator());
            if (field.option.isEmpty()) {
                QVERIFY2(validator, qPrintable(field.id + QStringLiteral(" takes any text")));
                QCOMPARE(field.max, validator->top());
                QCOMPARE(field.min, validator->bottom());
                // The caption is the label to the left of the field on its row.
                QString beside;
                for (const QLabel *label : edit->parentWidget()->findChildren<QLabel *>(
                         QString(), Qt::FindDirectChildrenOnly)) {
                    if (qAbs(label->geometry().center().y() - edit->geometry().center().y()) < 8
                        && label->geometry().right() < edit->geometry().left())
                        beside = label->text();
                }
                if (edit->isVisibleTo(window))
                    QCOMPARE(field.title, beside);
            } else {
                QCOMPARE(field.title, find<QAbstractButton>(field.option)->text());
            }
            QCOMPARE(field.initial, edit->text());
        }
    }

    // Each option clicked in turn on the page as the window holds it: what the window shows
    // checked and typed, named to the catalogue, prices to the lines the press appends.
    void everyOptionPricesAsTheWindow_data() { pages_data(); }
    void everyOptionPricesAsTheWindow()
    {
        QFETCH(int, page);
        QFETCH(QString, widget);
        QFETCH(QString, answer);
        QFETCH(QString, quantity);
        answerButton = answer;
        showPage(widget);
        const CataloguePage &entry = *cataloguePage(PricingPage(page));
        int compared = 0;
        for (const CatalogueGroup &group : entry.groups) {
            for (const CatalogueOption &option : group.options) {
                auto *button = find<QAbstractButton>(option.id);
                if (!button->isVisible())
                    continue;
                click(button);
                QJsonArray options;
                for (const CatalogueGroup &each : entry.groups) {
                    for (const CatalogueOption &other : each.options) {
                        if (find<QAbstractButton>(other.id)->isChecked())
                            options.append(other.id);
                    }
                }
                QJsonObject fields;
                for (const CatalogueField &field : entry.fields) {
                    auto *edit = find<QLineEdit>(field.id);
                    if (field.title == QStringLiteral("Кол-во"))
                        edit->setText(quantity);
                    else if (edit->isVisible() || !field.option.isEmpty())
                        edit->setText(QString::number(150 + 10 * compared % 70));
                    if (!edit->text().isEmpty())
                        fields.insert(field.id, edit->text().toInt());
                }
                const QJsonObject request {{QStringLiteral("page"), pageName(entry.page)},
                                           {QStringLiteral("options"), options},
                                           {QStringLiteral("fields"), fields}};
                PricedJob job;
                QString error;
                QVERIFY2(jobFromRequest(request, builtInVersion(), &job, &error),
                         qPrintable(error));
                const QVector<Quote> quotes = priceJob(job, builtInVersion().prices);
                const int before = rows();
                click(answerButton);
                QTRY_COMPARE(rows(), before + quotes.size());
                for (int i = 0; i < quotes.size(); ++i) {
                    const TableRow row = orderLine(before + i);
                    const OrderLine &line = quotes.at(i).line;
                    QCOMPARE(line.description, row.description);
                    QCOMPARE(line.quantity, row.quantity);
                    QCOMPARE(line.unitPrice, row.price);
                    QCOMPARE(line.keyText, row.keyText);
                    QCOMPARE(line.titles, row.titles);
                }
                ++compared;
            }
        }
        QVERIFY2(compared > 10,
                 qPrintable(QString::number(compared) + QStringLiteral(" options compared")));
    }
};

QTEST_MAIN(CatalogueFormTest)
#include "test_catalogue_form.moc"
