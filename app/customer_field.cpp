// The customer field's questions to the shop, its list of matches and its keys.
#include "app/customer_field.h"

#include "customers/requisites.h"
#include "order/money.h"
#include "order/order.h"
#include "storage/shop_link.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>

namespace {

const int CustomerRole = Qt::UserRole + 1;

// One match as the list shows it: the name, then what tells two of the same name apart.
QString matchText(const Customer &customer)
{
    QStringList parts {customer.name()};
    if (!customer.inn.isEmpty())
        parts << QStringLiteral("ИНН ") + customer.inn;
    if (!customer.phone.isEmpty())
        parts << customer.phone;
    else if (!customer.email.isEmpty())
        parts << customer.email;
    return parts.join(QStringLiteral(" · "));
}

} // namespace

QString customerLine(const Customer &customer, qint64 owedKopecks)
{
    if (customer.isNull())
        return QString();
    QStringList parts {customer.name()};
    if (!customer.phone.isEmpty())
        parts << customer.phone;
    if (customer.discountHundredths > 0)
        parts << QStringLiteral("скидка %1 %").arg(discountText(customer.discountHundredths));
    if (owedKopecks > 0)
        parts << QStringLiteral("долг %1").arg(moneyText(double(owedKopecks) / 100.0));
    return parts.join(QStringLiteral(" · "));
}

CustomerField::CustomerField(Order *o, ShopLink *link, QLineEdit *edit, QLabel *line,
                             QObject *parent)
    : QObject(parent)
    , order(o)
    , shop(link)
    , field(edit)
    , label(line)
{
    model = new QStandardItemModel(this);
    // The shop finds and orders the matches; the list shows them as they come.
    list = new QCompleter(model, this);
    list->setObjectName(QStringLiteral("completerCustomer"));
    list->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    list->setMaxVisibleItems(MatchLimit);
    list->setWidget(field);
    list->popup()->installEventFilter(this);
    field->installEventFilter(this);

    connect(field, &QLineEdit::textEdited, this, [this](const QString &text) {
        takeWhenFound = false;
        if (text.trimmed().isEmpty()) {
            leave();
            return;
        }
        ask(text);
    });
    // Enter comes here with the list open too: the list hands its keys to the field first.
    connect(field, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex picked
            = list->popup()->isVisible() ? list->popup()->currentIndex() : QModelIndex();
        if (picked.isValid() && foundFor == field->text())
            take(found.value(picked.data(CustomerRole).toInt()));
        else
            takeFirst();
    });
    connect(
        list, qOverload<const QModelIndex &>(&QCompleter::activated), this,
        [this](const QModelIndex &index) { take(found.value(index.data(CustomerRole).toInt())); });
    connect(order, &Order::customerChanged, this, &CustomerField::showChosen);
    showChosen();
}

QString CustomerField::typed() const
{
    const QString text = field->text().trimmed();
    return text == order->customer().name() ? QString() : text;
}

void CustomerField::ask(const QString &text)
{
    asked = text;
    const int question = ++serial;
    if (text.trimmed().size() < 2) {
        showMatches({}, text);
        return;
    }
    shop->findCustomers(
        text.trimmed(), MatchLimit, this,
        [this, question, text](const QVector<Customer> &customers, const QString &error) {
            // An answer overtaken by typing is for a text no longer there.
            if (question != serial)
                return;
            field->setToolTip(error.isEmpty() ? QString() : error);
            showMatches(customers, text);
        });
}

void CustomerField::showMatches(const QVector<Customer> &customers, const QString &text)
{
    found = customers;
    foundFor = text;
    model->clear();
    for (int i = 0; i < customers.size(); ++i) {
        auto *item = new QStandardItem(matchText(customers.at(i)));
        item->setData(i, CustomerRole);
        model->appendRow(item);
    }
    if (takeWhenFound) {
        takeWhenFound = false;
        takeFirst();
        return;
    }
    // A late answer opens no list once the operator has gone on to another field.
    if (customers.isEmpty() || field->window()->focusWidget() != field)
        list->popup()->hide();
    else
        list->complete();
}

void CustomerField::takeFirst()
{
    const QString text = field->text();
    if (text.trimmed().size() < 2)
        return;
    if (foundFor != text) {
        // The answer for what is typed is on its way: the first of it is taken when it comes.
        takeWhenFound = true;
        if (asked != text)
            ask(text);
        return;
    }
    if (!found.isEmpty())
        take(found.first());
}

void CustomerField::take(const Customer &customer)
{
    list->popup()->hide();
    takeWhenFound = false;
    if (customer.isNull())
        return;
    order->setCustomer(customer);
    showChosen();
}

void CustomerField::leave()
{
    list->popup()->hide();
    takeWhenFound = false;
    ++serial;
    asked.clear();
    found.clear();
    foundFor.clear();
    model->clear();
    field->clear();
    order->setCustomer(Customer());
    showChosen();
}

void CustomerField::showChosen()
{
    const Customer &customer = order->customer();
    if (field->text() != customer.name())
        field->setText(customer.name());
    if (customer.id != owedFor) {
        owedFor = customer.id;
        owed = 0;
        if (customer.id > 0)
            askOwed(customer.id);
    }
    const QString line = customerLine(customer, owed);
    label->setText(label->fontMetrics().elidedText(line, Qt::ElideRight, label->width()));
    QStringList details {line};
    if (!customer.inn.isEmpty())
        details << QStringLiteral("ИНН ") + customer.inn
                + (customer.kpp.isEmpty() ? QString() : QStringLiteral(", КПП ") + customer.kpp);
    label->setToolTip(customer.isNull() ? QString() : details.join(QLatin1Char('\n')));
}

void CustomerField::askOwed(qint64 id)
{
    const int asking = ++owedSerial;
    shop->loadCustomer(id, this,
                       [this, id, asking](bool loaded, const Customer &,
                                          const QVector<CustomerInvoice> &invoices,
                                          const QString &) {
                           if (asking != owedSerial || !loaded || order->customer().id != id)
                               return;
                           owed = owedKopecks(invoices);
                           showChosen();
                       });
}

bool CustomerField::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        leave();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
