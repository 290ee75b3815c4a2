// Helpers shared by the calculator pages.
#include "calculators/page_parts.h"

#include "app/mainwindow.h"
#include "calculators/whole_number_validator.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "pricing/rules.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QSet>
#include <QVariant>

void setOptionValues(QWidget *page, PricingPage pricingPage)
{
    QHash<QString, QAbstractButton *> buttons;
    for (QAbstractButton *button : page->findChildren<QAbstractButton *>())
        buttons.insert(button->objectName(), button);
    QSet<QString> given;
    const auto give = [&](const QString &name, const QVariant &value) {
        if (given.contains(name))
            return;
        given.insert(name);
        QAbstractButton *button = buttons.value(name);
        if (!button) {
            qWarning("Price list: %s is no button of the page %s", qPrintable(name),
                     qPrintable(page->objectName()));
            return;
        }
        button->setProperty("value", value);
    };
    for (const KeyGrammar &grammar : keyGrammars()) {
        if (grammar.page != pricingPage)
            continue;
        for (const KeyPart &part : grammar.parts) {
            for (const KeyOption &option : part.options) {
                if (!part.fixed())
                    give(option.objectName, option.code);
            }
        }
    }
    for (const ExtraOption &extra : extrasCatalogue()) {
        if (extra.page == pricingPage)
            give(extra.objectName, extra.amount);
    }
}

void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options)
{
    for (const auto &[button, value] : options)
        button->setProperty("value", value);
}

void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner)
{
    for (QLineEdit *field : fields)
        field->setValidator(new WholeNumberValidator(0, FieldLimit, owner));
}

void MainWindow::showCustomSize(QGroupBox *sizeGroup, QLineEdit *width, QLineEdit *height,
                                bool shown)
{
    sizeGroup->setVisible(shown);
    if (!shown) {
        // A hidden size must not linger into the next custom job.
        width->setText(QString());
        height->setText(QString());
    }
}

// Laser printing pages only: runs from 500 to 3000 pieces get a second line, priced from a tier
// family of their own by the page's slot for that tier.
void MainWindow::appendQuantityTierLine(int quantity, void (MainWindow::*from500)(),
                                        void (MainWindow::*from1000)())
{
    const QString tier = tierFamily(quantity, QStringLiteral("500"), QStringLiteral("1000"));
    if (tier == QLatin1String("500"))
        (this->*from500)();
    else if (!tier.isEmpty())
        (this->*from1000)();
}
