// The report's table and the match by hand through the orders link.
#include "dialogs/statement_dialog.h"

#include "dialogs/screen_fit.h"
#include "storage/orders_link.h"

#include "ui_statement_dialog.h"

#include <QHeaderView>
#include <QRegularExpressionValidator>

namespace {

QString kindText(StatementLine::Kind kind)
{
    switch (kind) {
    case StatementLine::PaidInFull:
        return QStringLiteral("оплачен полностью");
    case StatementLine::PartlyPaid:
        return QStringLiteral("оплачен частично");
    case StatementLine::Overpaid:
        return QStringLiteral("переплата");
    case StatementLine::NotMatched:
        return QStringLiteral("не сопоставлен");
    case StatementLine::AlreadyImported:
        return QStringLiteral("уже загружен");
    case StatementLine::NotIncoming:
        return QStringLiteral("пропущен");
    case StatementLine::ZeroAmount:
        return QStringLiteral("нулевая сумма");
    }
    return QString();
}

} // namespace

StatementDialog::StatementDialog(OrdersLink *l, const QString &fileName,
                                 const StatementReport &report, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::StatementDialog)
    , link(l)
    , shown(report)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Выписка банка: ") + fileName);
    resizeWithinScreen(this, QSize(900, 520));
    ui->tableStatement->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->lineEditStatementOrder->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[1-9][0-9]{0,17}")), ui->lineEditStatementOrder));

    const auto updateMatch = [this] {
        const int line = selectedLine();
        ui->pushButtonStatementMatch->setEnabled(
            line >= 0 && shown.lines.at(line).kind == StatementLine::NotMatched
            && !handMatched.contains(line) && !ui->lineEditStatementOrder->text().isEmpty());
    };
    connect(ui->tableStatement, &QTableWidget::itemSelectionChanged, this, updateMatch);
    connect(ui->lineEditStatementOrder, &QLineEdit::textChanged, this, updateMatch);
    connect(ui->lineEditStatementOrder, &QLineEdit::returnPressed, ui->pushButtonStatementMatch,
            &QPushButton::click);
    connect(ui->pushButtonStatementMatch, &QPushButton::clicked, this,
            [this] { matchSelected(ui->lineEditStatementOrder->text().toLongLong()); });
    connect(ui->pushButtonStatementClose, &QPushButton::clicked, this, &QDialog::close);
    fill();
}

StatementDialog::~StatementDialog() = default;

void StatementDialog::fill()
{
    ui->labelStatementSummary->setText(
        shown.read ? statementSummaryText(shown)
                   : QStringLiteral("Выписка не загружена, ничего не изменено. ") + shown.problem);
    ui->tableStatement->setRowCount(shown.lines.size());
    for (int row = 0; row < shown.lines.size(); ++row) {
        const StatementLine &line = shown.lines.at(row);
        auto *kind = new QTableWidgetItem(kindText(line.kind));
        if (line.kind == StatementLine::NotMatched)
            kind->setForeground(QColor(0xb0, 0, 0));
        ui->tableStatement->setItem(row, 0, kind);
        ui->tableStatement->setItem(row, 1, new QTableWidgetItem(statementLineText(line)));
    }
}

int StatementDialog::selectedLine() const
{
    const QList<QTableWidgetItem *> selected = ui->tableStatement->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void StatementDialog::matchSelected(qint64 order)
{
    const int row = selectedLine();
    if (row < 0 || shown.lines.at(row).kind != StatementLine::NotMatched
        || handMatched.contains(row) || order <= 0)
        return;
    ui->pushButtonStatementMatch->setEnabled(false);
    ui->labelStatementStatus->setText(QStringLiteral("Зачёт…"));
    const StatementLine line = shown.lines.at(row);
    link->matchByHand(order, line, this, [this, row, order](const OrderAnswer &answer) {
        if (!answer.done()) {
            ui->labelStatementStatus->setText(answer.message);
            ui->pushButtonStatementMatch->setEnabled(true);
            return;
        }
        handMatched.insert(row);
        shown.lines[row].invoiceNumber = order;
        ui->labelStatementStatus->setText(QStringLiteral("Платёж № %1 зачтён в заказ № %2.")
                                              .arg(shown.lines.at(row).documentNumber)
                                              .arg(order));
        ui->tableStatement->item(row, 0)->setText(
            QStringLiteral("зачтён вручную в № %1").arg(order));
        ui->tableStatement->item(row, 0)->setForeground(QBrush());
    });
}
