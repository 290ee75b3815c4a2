// The journal dialog's widgets, searches and the comparison with today's prices.
#include "dialogs/journal_dialog.h"

#include "dialogs/manager_login_dialog.h"
#include "dialogs/order_documents.h"
#include "dialogs/prompts.h"
#include "dialogs/screen_fit.h"
#include "order/money.h"
#include "order/order.h"
#include "pricing/page_pricing.h"
#include "storage/shop_link.h"
#include "ui_journal_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QTimer>

#include <cmath>

namespace {

enum LineColumn { Description, Quantity, OldPrice, Sum, NewPrice, Difference, TakeNew };

QTableWidgetItem *item(const QString &text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignment | Qt::AlignVCenter);
    return cell;
}

double amount(const QString &text)
{
    double value = 0.0;
    return readAmount(text, &value) ? value : 0.0;
}

// The line a stored job gives today: of the lines its press would append, the one with the same
// key (a tier line is priced from its own family), else the first.
OrderLine todayLine(const OrderLine &stored, const PriceTable &prices)
{
    if (stored.job.isEmpty())
        return OrderLine();
    const QVector<Quote> quotes = priceStoredJob(stored.job, prices);
    for (const Quote &quote : quotes)
        if (quote.line.keyText == stored.keyText)
            return quote.line;
    return quotes.isEmpty() ? OrderLine() : quotes.first().line;
}

} // namespace

JournalDialog::JournalDialog(Order *o, std::function<PriceTable()> prices, ShopLink *link,
                             QWidget *parent)
    : QDialog(parent)
    , order(o)
    , pricesInForce(std::move(prices))
    , shop(link)
    , ui(new Ui::JournalDialog)
{
    ui->setupUi(this);
    resizeWithinScreen(this, QSize(980, 620));

    words = ui->lineEditJournalWords;
    number = ui->lineEditJournalNumber;
    // Invoice numbers run past 32 bits; digits only, as many as a 64-bit number holds.
    number->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[1-9][0-9]{0,17}")), number));
    fromUsed = ui->checkBoxJournalFrom;
    from = ui->dateEditJournalFrom;
    from->setDate(QDate::currentDate().addMonths(-1));
    toUsed = ui->checkBoxJournalTo;
    to = ui->dateEditJournalTo;
    to->setDate(QDate::currentDate());
    QPushButton *find = ui->pushButtonJournalFind;

    invoices = ui->tableJournalInvoices;
    lines = ui->tableJournalLines;
    for (QTableWidget *table : {invoices, lines})
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The description takes what the figures leave.
    lines->horizontalHeader()->setStretchLastSection(false);
    lines->horizontalHeader()->setSectionResizeMode(Description, QHeaderView::Stretch);

    madeDocuments = ui->labelJournalDocuments;
    status = ui->labelJournalStatus;
    difference = ui->labelJournalDifference;
    today = ui->pushButtonTodayPrices;
    // The longest caption of the row: the layout never gives it less than it needs.
    today->setMinimumWidth(today->sizeHint().width());
    replace = ui->radioButtonJournalReplace;
    append = ui->radioButtonJournalAppend;
    toOrder = ui->pushButtonJournalToOrder;
    actPdf = ui->pushButtonJournalActPdf;
    actPrint = ui->pushButtonJournalActPrint;
    voidButton = ui->pushButtonJournalVoid;
    documents = new OrderDocuments(shop, nullptr, this);
    QPushButton *close = ui->pushButtonJournalClose;

    typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(250);
    connect(typing, &QTimer::timeout, this, &JournalDialog::search);
    for (QLineEdit *field : {words, number})
        connect(field, &QLineEdit::textChanged, typing, qOverload<>(&QTimer::start));
    for (QCheckBox *box : {fromUsed, toUsed})
        connect(box, &QCheckBox::toggled, this, &JournalDialog::search);
    for (QDateEdit *date : {from, to})
        connect(date, &QDateEdit::dateChanged, typing, qOverload<>(&QTimer::start));
    connect(find, &QPushButton::clicked, this, &JournalDialog::search);
    connect(invoices, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem *> selected = invoices->selectedItems();
        if (!selected.isEmpty())
            openInvoice(invoices->item(selected.first()->row(), 0)->text().toLongLong());
    });
    connect(today, &QPushButton::clicked, this, &JournalDialog::compareWithToday);
    connect(toOrder, &QPushButton::clicked, this, &JournalDialog::putIntoOrder);
    connect(actPdf, &QPushButton::clicked, this,
            [this] { documents->writeActPdf(current.summary.number); });
    connect(actPrint, &QPushButton::clicked, this,
            [this] { documents->printAct(current.summary.number); });
    connect(documents, &OrderDocuments::finished, this,
            [this](bool made, const QString &, const QString &message) {
                status->setText(message);
                // The act just recorded shows beside the invoice; the status line keeps the
                // message, the reload answers after the record on the same thread.
                if (made && current.summary.number > 0)
                    shop->load(current.summary.number, this,
                               [this](bool found, const InvoiceRecord &record, const QString &) {
                                   if (found && record.summary.number == current.summary.number)
                                       showDocuments(record);
                               });
            });
    connect(voidButton, &QPushButton::clicked, this, &JournalDialog::voidShown);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    askReason = [this](const QString &title, const QString &label, QString *reason) {
        bool given = false;
        *reason = QInputDialog::getText(this, title, label, QLineEdit::Normal, QString(), &given);
        return given;
    };
    search();
}

JournalDialog::~JournalDialog() = default;

void JournalDialog::setOperatorName(std::function<QString()> name)
{
    operatorName = name;
    documents->setOperatorName(std::move(name));
}

void JournalDialog::setPrompts(Prompts *given)
{
    prompts = given;
}

Prompts &JournalDialog::prompter()
{
    if (prompts)
        return *prompts;
    if (!ownPrompts)
        ownPrompts = std::make_unique<MessageBoxes>(this);
    return *ownPrompts;
}

void JournalDialog::voidShown()
{
    const qint64 invoice = current.summary.number;
    if (invoice <= 0)
        return;
    const QString title = QStringLiteral("Аннулирование счёта № %1").arg(invoice);
    if (current.summary.isVoid) {
        status->setText(voidOutcomeText(VoidOutcome::AlreadyVoid, invoice, QString()));
        return;
    }
    QString reason;
    if (!askReason(title, QStringLiteral("Причина аннулирования:"), &reason))
        return;
    reason = reason.simplified();
    if (reason.isEmpty()) {
        const QString told = QStringLiteral("Счёт № %1 не аннулирован: укажите причину "
                                            "аннулирования.")
                                 .arg(invoice);
        status->setText(told);
        prompter().tell(title, told);
        return;
    }
    const QString question
        = QStringLiteral("Аннулировать счёт № %1 от %2 на %3?\nПричина: %4\nСчёт останется в "
                         "журнале с отметкой «аннулирован» и выпадет из отчётов и долгов.")
              .arg(invoice)
              .arg(current.summary.created.toString(QStringLiteral("dd.MM.yyyy")),
                   moneyText(current.summary.total), reason);
    if (prompter().ask(title, question,
                       {QStringLiteral("Аннулировать"), QStringLiteral("Не аннулировать")}, 1)
        != 0)
        return;
    HandVoid mark;
    mark.reason = reason;
    mark.operatorName = operatorName ? operatorName() : QString();
    const QString what = QStringLiteral("%1 № %2 (%3)")
                             .arg(actionCaption(Action::VoidInvoice))
                             .arg(invoice)
                             .arg(reason);
    // The approval may come after the journal is closed.
    QPointer<JournalDialog> self(this);
    const auto go = [self, invoice, mark](const QString &approver) {
        if (!self)
            return;
        HandVoid approved = mark;
        approved.approver = approver;
        self->runVoid(invoice, approved, DatabaseLogin());
    };
    if (guard)
        guard(Action::VoidInvoice, what, go);
    else
        go(QString());
}

void JournalDialog::runVoid(qint64 invoice, const HandVoid &mark, const DatabaseLogin &login)
{
    voidButton->setEnabled(false);
    status->setText(QStringLiteral("Аннулирование счёта № %1…").arg(invoice));
    QPointer<JournalDialog> self(this);
    // The answer is recorded even when the journal was closed meanwhile: the window waits for it.
    QObject *context = parentWidget() ? static_cast<QObject *>(parentWidget()) : this;
    const auto keep = record;
    shop->voidInvoice(invoice, mark, login, context,
                      [self, invoice, mark, keep](const VoidAnswer &answer) {
                          if (answer.done() && keep)
                              keep(actionCaption(Action::VoidInvoice), voidAuditOldValue(invoice),
                                   voidAuditNewValue(mark.reason), mark.approver);
                          if (self)
                              self->voidDone(invoice, mark, answer);
                      });
}

void JournalDialog::voidDone(qint64 invoice, const HandVoid &mark, const VoidAnswer &answer)
{
    if (answer.needsManagerLogin()) {
        askManagerLogin(invoice, mark);
        return;
    }
    status->setText(answer.message);
    if (!answer.done()) {
        showVoidState();
        if (answer.outcome == VoidOutcome::Failed)
            prompter().tell(QStringLiteral("Аннулирование счёта № %1").arg(invoice),
                            answer.message);
        return;
    }
    // The list shows it at once; the reload brings who and when.
    for (int row = 0; row < invoices->rowCount(); ++row)
        if (invoices->item(row, 0)->text().toLongLong() == invoice)
            invoices->item(row, 6)->setText(QStringLiteral("аннулирован"));
    if (current.summary.number == invoice) {
        current.summary.isVoid = true;
        current.summary.voidReason = mark.reason;
        showVoidState();
        shop->load(invoice, this, [this](bool found, const InvoiceRecord &record, const QString &) {
            if (found && record.summary.number == current.summary.number) {
                current.summary = record.summary;
                showVoidState();
            }
        });
    }
}

void JournalDialog::askManagerLogin(qint64 invoice, const HandVoid &mark)
{
    status->setText(
        QStringLiteral("Счёт № %1 не аннулирован: нужен вход менеджера в базу.").arg(invoice));
    showVoidState();
    QPointer<JournalDialog> self(this);
    const auto keep = record;
    ShopLink *link = shop;
    // Over the window, like the manager's PIN: the journal may be closed meanwhile, and the
    // answer is recorded all the same.
    QWidget *over = parentWidget() ? parentWidget() : this;
    ManagerLoginDialog::ask(
        over,
        QStringLiteral("База магазина разрешает аннулировать счёт только входу менеджера. "
                       "Введите вход менеджера в базу: программа будет помнить его до "
                       "закрытия."),
        [self, link, over, invoice, mark, keep](const DatabaseLogin &login,
                                                ManagerLoginDialog::Reply reply) {
            link->voidInvoice(
                invoice, mark, login, over,
                [self, invoice, mark, keep, login, reply](const VoidAnswer &answer) {
                    if (answer.done() && keep)
                        keep(actionCaption(Action::VoidInvoice), voidAuditOldValue(invoice),
                             voidAuditNewValue(mark.reason), mark.approver);
                    if (answer.fault == StorageFault::WrongPassword || answer.needsManagerLogin()) {
                        reply(false,
                              managerLoginProblem(login, answer.fault,
                                                  QStringLiteral("аннулировать счёт")));
                        return;
                    }
                    reply(true, QString());
                    if (self)
                        self->voidDone(invoice, mark, answer);
                });
        },
        {});
}

void JournalDialog::showVoidState()
{
    const InvoiceSummary &summary = current.summary;
    voidButton->setEnabled(summary.number > 0 && !summary.isVoid);
    if (!summary.isVoid)
        return;
    QString text = QStringLiteral("Счёт № %1 аннулирован").arg(summary.number);
    if (!summary.voidReason.isEmpty()) {
        text += QStringLiteral(": ") + summary.voidReason;
        QStringList who;
        if (summary.voidedAt.isValid())
            who << summary.voidedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        if (!summary.voidedBy.isEmpty())
            who << summary.voidedBy;
        if (!summary.voidedApprover.isEmpty())
            who << QStringLiteral("разрешил ") + summary.voidedApprover;
        if (!who.isEmpty())
            text += QStringLiteral(" (") + who.join(QStringLiteral(", ")) + QLatin1Char(')');
    } else {
        text += QStringLiteral(": документы счёта не удались");
    }
    status->setText(text + QLatin1Char('.'));
}

void JournalDialog::showDocuments(const InvoiceRecord &record)
{
    current.documents = record.documents;
    QStringList texts;
    for (const DocumentRecord &document : record.documents)
        texts.append(documentText(record.summary.number, document));
    madeDocuments->setText(texts.isEmpty() ? QStringLiteral("Документов по счёту нет.")
                                           : texts.join(QLatin1Char('\n')));
}

void JournalDialog::search()
{
    typing->stop();
    JournalQuery query;
    query.words = words->text();
    query.number = number->text().toLongLong();
    if (fromUsed->isChecked())
        query.from = from->date();
    if (toUsed->isChecked())
        query.to = to->date();
    const int serial = ++searchSerial;
    status->setText(QStringLiteral("Поиск…"));
    shop->find(query, this,
               [this, serial](const QVector<InvoiceSummary> &found, const QString &error) {
                   // An answer to an older search that was overtaken by typing is dropped.
                   if (serial == searchSerial)
                       showFound(found, error);
               });
}

void JournalDialog::showFound(const QVector<InvoiceSummary> &found, const QString &error)
{
    invoices->setRowCount(0);
    if (!error.isEmpty()) {
        status->setText(error);
        return;
    }
    invoices->setRowCount(found.size());
    for (int row = 0; row < found.size(); ++row) {
        const InvoiceSummary &invoice = found.at(row);
        invoices->setItem(row, 0, item(QString::number(invoice.number), Qt::AlignRight));
        invoices->setItem(row, 1,
                          item(invoice.created.toString(QStringLiteral("dd.MM.yyyy HH:mm"))));
        invoices->setItem(row, 2, item(invoice.counter));
        invoices->setItem(row, 3, item(QString::number(invoice.lineCount), Qt::AlignRight));
        invoices->setItem(row, 4, item(moneyText(invoice.total), Qt::AlignRight));
        invoices->setItem(row, 5, item(invoice.customer.name()));
        invoices->setItem(row, 6, item(invoice.isVoid ? QStringLiteral("аннулирован") : QString()));
    }
    status->setText(found.isEmpty() ? QStringLiteral("Ничего не найдено.")
                                    : QStringLiteral("Найдено счетов: %1").arg(found.size()));
}

void JournalDialog::openInvoice(qint64 invoice)
{
    shop->load(invoice, this,
               [this](bool found, const InvoiceRecord &record, const QString &error) {
                   showInvoice(found, record, error);
               });
}

void JournalDialog::showInvoice(bool found, const InvoiceRecord &record, const QString &error)
{
    if (!found) {
        repeating = 0;
        status->setText(error.isEmpty() ? QStringLiteral("Такого счёта в журнале нет.") : error);
        return;
    }
    current = record;
    todayLines.clear();
    fillLines();
    showDocuments(record);
    status->setText(QStringLiteral("Счёт № %1 от %2, итого %3")
                        .arg(record.summary.number)
                        .arg(record.summary.created.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                             moneyText(record.summary.total)));
    today->setEnabled(!record.lines.isEmpty());
    toOrder->setEnabled(!record.lines.isEmpty());
    for (QPushButton *button : {actPdf, actPrint})
        button->setEnabled(!record.lines.isEmpty());
    showVoidState();
    if (repeating == record.summary.number) {
        repeating = 0;
        compareWithToday();
        putIntoOrder();
    }
}

void JournalDialog::fillLines()
{
    lines->setRowCount(current.lines.size());
    double totalDifference = 0.0;
    for (int row = 0; row < current.lines.size(); ++row) {
        const OrderLine &line = current.lines.at(row);
        lines->setItem(row, Description, item(line.description));
        lines->setItem(row, Quantity, item(line.quantity, Qt::AlignRight));
        lines->setItem(row, OldPrice, item(line.unitPrice, Qt::AlignRight));
        lines->setItem(row, Sum, item(moneyNumber(calcRounded(lineSum(line))), Qt::AlignRight));
        if (todayLines.isEmpty()) {
            for (int column : {NewPrice, Difference, TakeNew})
                lines->setItem(row, column, item(QString()));
            continue;
        }
        const OrderLine &now = todayLines.at(row);
        if (now.description.isEmpty()) {
            lines->setItem(row, NewPrice, item(QStringLiteral("нет задания")));
            lines->setItem(row, Difference, item(QString()));
            lines->setItem(row, TakeNew, item(QString()));
            continue;
        }
        const double change = calcRounded(amount(line.quantity) * amount(now.unitPrice))
            - calcRounded(lineSum(line));
        lines->setItem(row, NewPrice, item(now.unitPrice, Qt::AlignRight));
        lines->setItem(row, Difference,
                       item((change > 0 ? QStringLiteral("+") : QString()) + moneyNumber(change),
                            Qt::AlignRight));
        auto *take = new QTableWidgetItem;
        take->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        take->setCheckState(now.unitPrice != line.unitPrice ? Qt::Checked : Qt::Unchecked);
        lines->setItem(row, TakeNew, take);
        totalDifference += change;
    }
    difference->setText(todayLines.isEmpty()
                            ? QString()
                            : QStringLiteral("Разница по счёту: %1%2")
                                  .arg(totalDifference > 0 ? QStringLiteral("+") : QString(),
                                       moneyText(calcRounded(totalDifference))));
}

void JournalDialog::compareWithToday()
{
    todayLines.clear();
    const PriceTable prices = pricesInForce();
    for (const OrderLine &line : qAsConst(current.lines))
        todayLines.append(todayLine(line, prices));
    fillLines();
}

void JournalDialog::putIntoOrder()
{
    if (current.lines.isEmpty())
        return;
    if (replace->isChecked())
        order->clear();
    QVector<OrderLine> taken;
    for (int row = 0; row < current.lines.size(); ++row) {
        OrderLine line = current.lines.at(row);
        const QTableWidgetItem *take = lines->item(row, TakeNew);
        if (row < todayLines.size() && take && take->checkState() == Qt::Checked) {
            const OrderLine &now = todayLines.at(row);
            if (!line.hasNumbers)
                line.readNumbers();
            // Today's price with the number it was priced at, not the reading of its text.
            line.unitPrice = now.unitPrice;
            line.unitPriceValue = now.unitPriceValue;
            line.unitPriceIsNumber = now.unitPriceIsNumber;
            line.explanation = now.explanation;
            line.missingPrice = now.missingPrice;
        }
        taken.append(line);
    }
    order->insert(order->size(), taken);
    status->setText(QStringLiteral("Строки счёта № %1 в заказе.").arg(current.summary.number));
}

void JournalDialog::repeatInvoice(qint64 invoice)
{
    words->clear();
    fromUsed->setChecked(false);
    toUsed->setChecked(false);
    number->setText(QString::number(invoice));
    search();
    repeating = invoice;
    openInvoice(invoice);
}
