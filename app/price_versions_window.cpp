// The window and the price list versions: the "Прайс-лист" button, and the version in force's
// prices and extras' amounts on the pages.
#include "app/mainwindow.h"

#include "app/eliding_label.h"
#include "dialogs/price_list_dialog.h"
#include "prices/extras_catalogue.h"
#include "prices/price_versions.h"
#include "storage/database_thread.h"
#include "storage/price_store.h"
#include "storage/settings.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVariant>

class PriceVersionState : public QObject
{
public:
    using QObject::QObject;
    // A shop's server that does not answer holds the link's thread, never the window's end.
    ~PriceVersionState() override { endOrLetGo(link); }

    PricesInForce inForce;
    QHash<QString, QAbstractButton *> extraButtons; // by the extra's key
    QPointer<PriceListDialog> dialog;
    MainWindow *window = nullptr;
    PriceLink *link = nullptr;
    QLabel *sampleNotice = nullptr; // shown while the built-in list is in force

    void showWhetherSample(int versionInForce) const
    {
        if (sampleNotice)
            sampleNotice->setVisible(versionInForce == 0);
    }
};

void MainWindow::initPriceVersions()
{
    priceVersionState = new PriceVersionState(this);
    priceVersionState->window = this;
    for (const ExtraOption &option : extrasCatalogue()) {
        auto *button = findChild<QAbstractButton *>(option.objectName);
        if (!button) {
            qWarning("Price list: the extra %s is no button of the form",
                     qPrintable(option.objectName));
            continue;
        }
        // The pages set today's amounts themselves; version 0 must say the same.
        const double formAmount = button->property("value").toDouble();
        if (formAmount != option.amount) {
            qWarning("Price list: the form gives %s the amount %g, version 0 gives %g",
                     qPrintable(option.objectName), formAmount, option.amount);
        }
        priceVersionState->extraButtons.insert(option.key, button);
    }
    // The shop's versions, as the counter's file keeps them, before the first job is priced.
    const Settings settings;
    const DatabaseChoice choice = chooseDatabase(QCoreApplication::arguments(), settings);
    if (choice.url.isValid()) {
        priceVersionState->link = new PriceLink(choice.url, localOrderPath(choice.url),
                                                PriceBook::shared(), priceVersionState);
    }
    followPriceVersion();
    connect(&PriceBook::shared(), &PriceBook::changed, priceVersionState,
            [this] { followPriceVersion(); });

    // The built-in list is the one the program was designed with, not the shop's: said where the
    // operator looks, until the shop's own version is in force.
    // It gives up room to the tabs and the window buttons: the tooltip says it whole.
    auto *sample = new ElidingLabel(QStringLiteral("Цены — образец: загрузите свои («Прайс-лист» → "
                                                   "«Загрузить»)"));
    sample->setObjectName(QStringLiteral("labelSamplePrices"));
    sample->setToolTip(QStringLiteral(
        "Встроенный прайс-лист (версия 0) содержит образцы цен, а не цены типографии. Откройте "
        "«Прайс-лист», выгрузите его, впишите свои цены и загрузите файл кнопкой «Загрузить»."));
    sample->setStyleSheet(QStringLiteral("QLabel { color: #8a4b00; }"));
    addWindowButton(sample);
    priceVersionState->sampleNotice = sample;
    priceVersionState->showWhetherSample(priceTable.version());

    auto *button = new QPushButton(QStringLiteral("Прайс-лист"));
    button->setObjectName(QStringLiteral("pushButtonPrices"));
    button->setToolTip(QStringLiteral("Версии прайс-листа: цены, надбавки, выгрузка и загрузка"));
    connect(button, &QPushButton::clicked, this, [this] {
        // Versions are saved and loaded in the dialog: a manager's right.
        withRight(Action::SavePriceVersion, actionCaption(Action::SavePriceVersion),
                  [this](const QString &approver) { showPriceList(approver); });
    });
    addWindowButton(button);
}

void MainWindow::showPriceList(const QString &approver)
{
    PriceVersionState *state = priceVersionState;
    if (!state->dialog) {
        state->dialog = new PriceListDialog(PriceBook::shared(), this);
        state->dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(state->dialog, &PriceListDialog::versionSaved, this, [this, approver](int number) {
            recordAudit(QStringLiteral("версия прайс-листа сохранена"), QString(),
                        QString::number(number), approver);
        });
    }
    // Another counter may have saved a version meanwhile.
    if (state->link)
        state->link->checkNow();
    state->dialog->show();
    state->dialog->raise();
    state->dialog->activateWindow();
}

void MainWindow::followPriceVersion() const
{
    PriceVersionState *state = priceVersionState;
    // Option groups are read while the pages are built, before the state exists.
    if (!state || !state->inForce.update())
        return;
    const PriceVersion &version = state->inForce.version();
    priceTable = version.prices;
    state->showWhetherSample(priceTable.version());
    // The live prices show the new version too, once the job being read now is done.
    QMetaObject::invokeMethod(
        state, [state] { state->window->refreshLivePrices(); }, Qt::QueuedConnection);
    for (auto it = state->extraButtons.constBegin(); it != state->extraButtons.constEnd(); ++it) {
        // An amount the version leaves as it is stays exactly as the page set it.
        const double amount = version.extra(it.key());
        if (it.value()->property("value").toDouble() != amount)
            it.value()->setProperty("value", amount);
    }
}
