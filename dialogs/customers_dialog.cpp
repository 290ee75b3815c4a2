// The list of customers, its search, and the merge of two duplicates.
#include "dialogs/customers_dialog.h"

#include "customers/requisites.h"
#include "dialogs/file_pool.h"
#include "dialogs/manager_login_dialog.h"
#include "dialogs/screen_fit.h"
#include "storage/shop_link.h"

#include "ui_customers_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>

namespace {

enum Column { Name, Kind, Inn, Kpp, Phone, Email, Discount };

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

bool isWorkbook(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("ods") || suffix == QLatin1String("xlsx")
        || suffix == QLatin1String("xls");
}

const QString NoWorkbooks = QStringLiteral(
    "Таблицы .ods и .xlsx читаются и пишутся через LibreOffice Calc, а эта сборка программы "
    "собрана без него: сохраните таблицу в Calc как «Текст CSV» (UTF-8, разделитель «;»).");

struct FileRead
{
    bool ok = false;
    CustomerFileRead read;
    QString error;
};

QString described(const Customer &customer)
{
    QStringList parts {customer.name()};
    if (!customer.inn.isEmpty())
        parts << QStringLiteral("ИНН ") + customer.inn;
    if (!customer.phone.isEmpty())
        parts << customer.phone;
    return parts.join(QStringLiteral(", "));
}

} // namespace

CustomersDialog::CustomersDialog(ShopLink *link, std::function<void(const Customer &)> open,
                                 QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomersDialog)
    , shop(link)
    , openCard(std::move(open))
{
    ui->setupUi(this);
    resizeWithinScreen(this, size());
    QHeaderView *header = ui->tableCustomers->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(Name, QHeaderView::Stretch);
    header->setStretchLastSection(false);
    chooseKept = [this](const Customer &first, const Customer &second) -> qint64 {
        QMessageBox box(
            QMessageBox::Question, windowTitle(),
            QStringLiteral("Объединить двух клиентов в одного? Счета второго перейдут "
                           "к тому, кто останется, его карточка исчезнет.\n\n1. %1\n2. %2\n\n"
                           "Кого оставить?")
                .arg(described(first), described(second)),
            QMessageBox::Cancel, this);
        QPushButton *keepFirst
            = box.addButton(QStringLiteral("Оставить 1"), QMessageBox::AcceptRole);
        QPushButton *keepSecond
            = box.addButton(QStringLiteral("Оставить 2"), QMessageBox::AcceptRole);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
        box.exec();
        if (box.clickedButton() == keepFirst)
            return first.id;
        if (box.clickedButton() == keepSecond)
            return second.id;
        return 0;
    };

    typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(200);
    connect(typing, &QTimer::timeout, this, &CustomersDialog::search);
    connect(ui->lineEditCustomersSearch, &QLineEdit::textChanged, typing,
            qOverload<>(&QTimer::start));
    connect(ui->tableCustomers, &QTableWidget::itemSelectionChanged, this, [this] {
        const int count = selected().size();
        ui->pushButtonCustomerOpen->setEnabled(count == 1);
        ui->pushButtonCustomersMerge->setEnabled(count == 2);
    });
    connect(ui->tableCustomers, &QTableWidget::cellDoubleClicked, this,
            &CustomersDialog::openSelected);
    connect(ui->pushButtonCustomerOpen, &QPushButton::clicked, this,
            &CustomersDialog::openSelected);
    connect(ui->pushButtonCustomerNew, &QPushButton::clicked, this,
            [this] { openCard(Customer()); });
    connect(ui->pushButtonCustomersMerge, &QPushButton::clicked, this,
            &CustomersDialog::mergeSelected);
    connect(ui->pushButtonCustomersClose, &QPushButton::clicked, this, &QDialog::close);
    chooseFile = [this](bool forWriting) {
        const QString filter = QStringLiteral("Клиенты (*.csv *.ods *.xlsx);;Все файлы (*)");
        return forWriting ? QFileDialog::getSaveFileName(this, QStringLiteral("Выгрузить клиентов"),
                                                         QStringLiteral("клиенты.csv"), filter)
                          : QFileDialog::getOpenFileName(this, QStringLiteral("Загрузить клиентов"),
                                                         QString(), filter);
    };
    connect(ui->pushButtonCustomersImport, &QPushButton::clicked, this, [this] {
        const QString path = chooseFile(false);
        if (!path.isEmpty())
            importFile(path);
    });
    connect(ui->pushButtonCustomersExport, &QPushButton::clicked, this, [this] {
        const QString path = chooseFile(true);
        if (!path.isEmpty())
            exportFile(path);
    });
    search();
}

CustomersDialog::~CustomersDialog() = default;

void CustomersDialog::search()
{
    typing->stop();
    const int question = ++serial;
    ui->labelCustomersStatus->setText(QStringLiteral("Поиск…"));
    shop->listCustomers(ui->lineEditCustomersSearch->text().trimmed(), this,
                        [this, question](const QVector<Customer> &customers, const QString &error) {
                            // An answer overtaken by typing is dropped.
                            if (question == serial)
                                showList(customers, error);
                        });
}

void CustomersDialog::showList(const QVector<Customer> &customers, const QString &error)
{
    QTableWidget *table = ui->tableCustomers;
    table->setRowCount(0);
    listed.clear();
    if (!error.isEmpty()) {
        ui->labelCustomersStatus->setText(error);
        return;
    }
    listed = customers;
    table->setRowCount(customers.size());
    for (int row = 0; row < customers.size(); ++row) {
        const Customer &customer = customers.at(row);
        table->setItem(row, Name, cell(customer.name()));
        table->setItem(row, Kind, cell(customerKindWord(customer.kind)));
        table->setItem(row, Inn, cell(customer.inn));
        table->setItem(row, Kpp, cell(customer.kpp));
        table->setItem(row, Phone, cell(customer.phone));
        table->setItem(row, Email, cell(customer.email));
        table->setItem(row, Discount,
                       cell(customer.discountHundredths ? discountText(customer.discountHundredths)
                                                        : QString(),
                            Qt::AlignRight));
    }
    const QString count = customers.isEmpty()
        ? QStringLiteral("Клиентов не найдено.")
        : QStringLiteral("Клиентов: %1.").arg(customers.size());
    ui->labelCustomersStatus->setText(done.isEmpty() ? count : done + QLatin1Char(' ') + count);
    done.clear();
}

QVector<Customer> CustomersDialog::selected() const
{
    QVector<Customer> customers;
    for (const QModelIndex &index : ui->tableCustomers->selectionModel()->selectedRows())
        if (index.row() < listed.size())
            customers.append(listed.at(index.row()));
    return customers;
}

void CustomersDialog::openSelected()
{
    const QVector<Customer> chosen = selected();
    if (chosen.size() == 1)
        openCard(chosen.first());
}

void CustomersDialog::mergeSelected()
{
    const QVector<Customer> chosen = selected();
    if (chosen.size() != 2)
        return;
    const qint64 kept = chooseKept(chosen.at(0), chosen.at(1));
    if (kept == 0)
        return;
    const Customer keptOne = chosen.at(0).id == kept ? chosen.at(0) : chosen.at(1);
    const qint64 gone = chosen.at(0).id == kept ? chosen.at(1).id : chosen.at(0).id;
    const auto go = [this, kept, keptOne, gone](const AuditRecord &record) {
        ui->labelCustomersStatus->setText(QStringLiteral("Объединение…"));
        const auto finish = [this, keptOne, gone](bool ok, const QString &error) {
            if (!ok) {
                ui->labelCustomersStatus->setText(QStringLiteral("Клиенты не объединены: ")
                                                  + error);
                return;
            }
            done = QStringLiteral("Объединены в «%1».").arg(keptOne.name());
            emit merged(keptOne, gone);
            search();
        };
        shop->mergeCustomers(
            kept, gone, this,
            [this, kept, gone, record, finish](bool ok, const QString &error, StorageFault fault) {
                if (fault != StorageFault::NotPermitted) {
                    finish(ok, error);
                    return;
                }
                ui->labelCustomersStatus->setText(
                    QStringLiteral("Клиенты не объединены: нужен вход менеджера в базу."));
                QPointer<CustomersDialog> self(this);
                ShopLink *link = shop;
                ManagerLoginDialog::ask(
                    this,
                    QStringLiteral("База магазина разрешает объединять клиентов только входу "
                                   "менеджера. Введите вход менеджера в базу: программа будет "
                                   "помнить его до закрытия."),
                    [self, link, kept, gone, record, finish](const DatabaseLogin &login,
                                                             ManagerLoginDialog::Reply reply) {
                        link->setManagerLogin(login);
                        link->mergeCustomers(
                            kept, gone, self,
                            [self, link, login, reply, finish](bool ok, const QString &error,
                                                               StorageFault fault) {
                                if (fault == StorageFault::WrongPassword
                                    || fault == StorageFault::NotPermitted) {
                                    link->setManagerLogin(DatabaseLogin());
                                    reply(false,
                                          managerLoginProblem(
                                              login, fault, QStringLiteral("объединять клиентов")));
                                    return;
                                }
                                reply(true, QString());
                                finish(ok, error);
                            },
                            record);
                    },
                    {});
            },
            record);
    };
    if (guard)
        guard(Action::MergeOrClearCustomers,
              QStringLiteral("объединение клиентов № %1 и № %2").arg(kept).arg(gone), go);
    else
        go(AuditRecord());
}

void CustomersDialog::fileEnded(bool ok, const QString &text)
{
    fileBusy = false;
    ui->pushButtonCustomersImport->setEnabled(true);
    ui->pushButtonCustomersExport->setEnabled(true);
    report = text;
    done = text;
    emit fileDone(ok);
    search();
}

void CustomersDialog::importFile(const QString &path)
{
    if (fileBusy)
        return;
    const bool workbook = isWorkbook(path);
    if (workbook && !readSheet) {
        fileEnded(false, NoWorkbooks);
        return;
    }
    fileBusy = true;
    ui->pushButtonCustomersImport->setEnabled(false);
    ui->pushButtonCustomersExport->setEnabled(false);
    ui->labelCustomersStatus->setText(QStringLiteral("Загрузка из «%1»…").arg(path));
    const auto reader = readSheet;
    auto *watcher = new QFutureWatcher<FileRead>(this);
    connect(watcher, &QFutureWatcher<FileRead>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        const FileRead result = watcher->result();
        if (!result.ok) {
            fileEnded(false,
                      QStringLiteral("Клиенты из «%1» не загружены: %2")
                          .arg(QFileInfo(path).fileName(), result.error));
            return;
        }
        const auto go = [this, read = result.read](const AuditRecord &record) {
            fileBusy = true;
            ui->pushButtonCustomersImport->setEnabled(false);
            ui->pushButtonCustomersExport->setEnabled(false);
            shop->importCustomerFile(
                read, record, this, [this](const CustomerImport &imported, const QString &error) {
                    fileEnded(imported.stored,
                              error.isEmpty() ? imported.report()
                                              : imported.report() + QLatin1Char('\n') + error);
                });
        };
        const bool aboveCap = discountCapHundredths >= 0
            && std::any_of(result.read.rows.cbegin(), result.read.rows.cend(),
                           [this](const CustomerFileRow &row) {
                               return row.filled.contains(CustomerColumn::Discount)
                                   && row.customer.discountHundredths > discountCapHundredths;
                           });
        if (!aboveCap || !guard) {
            go(AuditRecord());
            return;
        }
        // A refused right never calls back: the buttons wait for the approval free.
        fileBusy = false;
        ui->pushButtonCustomersImport->setEnabled(true);
        ui->pushButtonCustomersExport->setEnabled(true);
        ui->labelCustomersStatus->setText(
            QStringLiteral("В файле скидка выше %1 %: нужно разрешение менеджера.")
                .arg(discountText(discountCapHundredths)));
        guard(Action::DiscountAboveCap,
              QStringLiteral("клиенты со скидкой выше предела из «%1»")
                  .arg(QFileInfo(path).fileName()),
              go);
    });
    QThreadPool *pool = workbook && sheetPool ? sheetPool : filePool();
    watcher->setFuture(QtConcurrent::run(pool, [path, workbook, reader] {
        FileRead result;
        if (workbook) {
            result.ok = reader(path, &result.read, &result.error);
            return result;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = file.errorString();
            return result;
        }
        // A list of customers is far below this; a larger file is no such list.
        if (file.size() > 64 * 1024 * 1024) {
            result.error = QStringLiteral("файл слишком велик для списка клиентов.");
            return result;
        }
        result.read = readCustomerCsv(file.readAll());
        result.ok = true;
        return result;
    }));
}

void CustomersDialog::exportFile(const QString &path)
{
    if (fileBusy)
        return;
    const bool workbook = isWorkbook(path);
    if (workbook && !writeSheet) {
        fileEnded(false, NoWorkbooks);
        return;
    }
    fileBusy = true;
    ui->pushButtonCustomersImport->setEnabled(false);
    ui->pushButtonCustomersExport->setEnabled(false);
    ui->labelCustomersStatus->setText(QStringLiteral("Выгрузка в «%1»…").arg(path));
    shop->listCustomers(
        QString(), this,
        [this, path, workbook](const QVector<Customer> &customers, const QString &error) {
            if (!error.isEmpty()) {
                fileEnded(false, QStringLiteral("Клиенты не выгружены: ") + error);
                return;
            }
            const auto writer = writeSheet;
            auto *watcher = new QFutureWatcher<QString>(this);
            connect(watcher, &QFutureWatcher<QString>::finished, this,
                    [this, watcher, path, count = customers.size()] {
                        watcher->deleteLater();
                        const QString problem = watcher->result();
                        fileEnded(problem.isEmpty(),
                                  problem.isEmpty()
                                      ? QStringLiteral("Выгружены клиенты в «%1»: %2.")
                                            .arg(QFileInfo(path).fileName())
                                            .arg(count)
                                      : QStringLiteral("Клиенты в «%1» не выгружены: %2")
                                            .arg(QFileInfo(path).fileName(), problem));
                    });
            QThreadPool *pool = workbook && sheetPool ? sheetPool : filePool();
            watcher->setFuture(QtConcurrent::run(pool, [path, workbook, writer, customers] {
                QString problem;
                if (workbook) {
                    if (!writer(path, customers, &problem) && problem.isEmpty())
                        problem = QStringLiteral("файл не записан.");
                    return problem;
                }
                // Written beside its place and put there whole: a failure leaves the old file.
                QSaveFile file(path);
                if (!file.open(QIODevice::WriteOnly) || file.write(customerFileCsv(customers)) < 0
                    || !file.commit())
                    problem = file.errorString();
                return problem;
            }));
        });
}
