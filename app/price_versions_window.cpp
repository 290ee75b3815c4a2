// The window and the price list versions: the "Прайс-лист" button, the notice of sample prices,
// and the following of the version in force.
#include "app/mainwindow.h"

#include "app/eliding_label.h"
#include "dialogs/colours.h"
#include "dialogs/manager_login_dialog.h"
#include "dialogs/price_list_dialog.h"
#include "prices/price_versions.h"
#include "storage/database_thread.h"
#include "storage/price_store.h"
#include "storage/settings.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

class PriceVersionState : public QObject
{
public:
    using QObject::QObject;
    // A shop's server that does not answer holds the link's thread, never the window's end.
    ~PriceVersionState() override { endOrLetGo(link); }

    QPointer<PriceListDialog> dialog;
    PriceLink *link = nullptr;
    QLabel *sampleNotice = nullptr; // shown while a price the pages compose is the sample's

    void showWhetherSample(const PriceTable &inForce) const
    {
        if (!sampleNotice)
            return;
        int priced = 0;
        const int samples = samplePriceCount(inForce, &priced);
        sampleNotice->setVisible(samples > 0);
        const QString said = QStringLiteral("Цены — образец: %1 из %2 ещё не заданы магазином "
                                            "(«Прайс-лист» → «Загрузить»)")
                                 .arg(groupedCount(samples), groupedCount(priced));
        sampleNotice->setText(said);
        // A narrow window elides the label: the tooltip says it whole.
        sampleNotice->setToolTip(
            said
            + QStringLiteral(".\n\nВстроенный прайс-лист содержит образцы цен, а не цены "
                             "типографии: строка по такой цене отмечена, а сайт её не называет. "
                             "Откройте «Прайс-лист», выгрузите его, впишите свои цены и загрузите "
                             "файл кнопкой «Загрузить», или подтвердите все цены действующей "
                             "версии как свои: «Прайс-лист» → «Все цены — мои…»."));
    }
    static QString groupedCount(int count) { return QLocale(QLocale::Russian).toString(count); }
};

void MainWindow::initPriceVersions()
{
    priceVersionState = new PriceVersionState(this);
    // The shop's versions, as the counter's file keeps them, before the first job is priced.
    const Settings settings;
    const DatabaseChoice choice = chooseDatabase(QCoreApplication::arguments(), settings);
    if (choice.url.isValid()) {
        priceVersionState->link = new PriceLink(choice.url, localOrderPath(choice.url),
                                                PriceBook::shared(), priceVersionState);
        // The shop's database keeps new versions to its managers: its login, asked over the
        // window.
        priceVersionState->link->askManagerLogin = [this](auto attempt, auto gaveUp) {
            ManagerLoginDialog::ask(
                this,
                QStringLiteral("База магазина разрешает сохранять версии прайс-листа только "
                               "входу менеджера. Введите вход менеджера в базу: программа будет "
                               "помнить его до закрытия."),
                std::move(attempt), std::move(gaveUp));
        };
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
    sample->setStyleSheet(labelColourStyle(SampleNoticeColour));
    addWindowButton(sample);
    priceVersionState->sampleNotice = sample;
    priceVersionState->showWhetherSample(prices());

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

void MainWindow::followPriceVersion()
{
    if (!pricesInForce.update())
        return;
    if (priceVersionState)
        priceVersionState->showWhetherSample(prices());
    // The live prices show the new version too, once the job being priced now is done.
    QMetaObject::invokeMethod(this, &MainWindow::refreshLivePrices, Qt::QueuedConnection);
}
