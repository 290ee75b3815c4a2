// The report's table and the match by hand through the orders link.
#include "dialogs/statement_dialog.h"

#include "dialogs/screen_fit.h"
#include "storage/orders_link.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

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
    }
    return QString();
}

} // namespace

StatementDialog::StatementDialog(OrdersLink *l, const QString &fileName,
                                 const StatementReport &report, QWidget *parent)
    : QDialog(parent)
    , link(l)
    , shown(report)
{
    setObjectName(QStringLiteral("StatementDialog"));
    setWindowTitle(QStringLiteral("Выписка банка: ") + fileName);
    resizeWithinScreen(this, QSize(900, 520));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("labelStatementSummary"));
    summary->setWordWrap(true);
    table = new QTableWidget(0, 2, this);
    table->setObjectName(QStringLiteral("tableStatement"));
    table->setHorizontalHeaderLabels({QStringLiteral("Итог"), QStringLiteral("Документ")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    number = new QLineEdit(this);
    number->setObjectName(QStringLiteral("lineEditStatementOrder"));
    number->setPlaceholderText(QStringLiteral("№ заказа"));
    number->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[1-9][0-9]{0,17}")), number));
    number->setMaximumWidth(120);
    match = new QPushButton(QStringLiteral("Зачесть в заказ"), this);
    match->setObjectName(QStringLiteral("pushButtonStatementMatch"));
    match->setAutoDefault(false);
    match->setEnabled(false);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("labelStatementStatus"));
    status->setWordWrap(true);
    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setAutoDefault(false);
    auto *actions = new QHBoxLayout;
    actions->addWidget(new QLabel(QStringLiteral("Не сопоставленный платёж:"), this));
    actions->addWidget(number);
    actions->addWidget(match);
    actions->addWidget(status, 1);
    actions->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(table, 1);
    layout->addLayout(actions);

    const auto updateMatch = [this] {
        const int line = selectedLine();
        match->setEnabled(line >= 0 && shown.lines.at(line).kind == StatementLine::NotMatched
                          && !handMatched.contains(line) && !number->text().isEmpty());
    };
    connect(table, &QTableWidget::itemSelectionChanged, this, updateMatch);
    connect(number, &QLineEdit::textChanged, this, updateMatch);
    connect(number, &QLineEdit::returnPressed, match, &QPushButton::click);
    connect(match, &QPushButton::clicked, this,
            [this] { matchSelected(number->text().toLongLong()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    fill();
}

void StatementDialog::fill()
{
    summary->setText(shown.read ? statementSummaryText(shown)
                                : QStringLiteral("Выписка не загружена, ничего не изменено. ")
                             + shown.problem);
    table->setRowCount(shown.lines.size());
    for (int row = 0; row < shown.lines.size(); ++row) {
        const StatementLine &line = shown.lines.at(row);
        auto *kind = new QTableWidgetItem(kindText(line.kind));
        if (line.kind == StatementLine::NotMatched)
            kind->setForeground(QColor(0xb0, 0, 0));
        table->setItem(row, 0, kind);
        table->setItem(row, 1, new QTableWidgetItem(statementLineText(line)));
    }
}

int StatementDialog::selectedLine() const
{
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void StatementDialog::matchSelected(qint64 order)
{
    const int row = selectedLine();
    if (row < 0 || shown.lines.at(row).kind != StatementLine::NotMatched
        || handMatched.contains(row) || order <= 0)
        return;
    match->setEnabled(false);
    status->setText(QStringLiteral("Зачёт…"));
    const StatementLine line = shown.lines.at(row);
    link->matchByHand(order, line, this, [this, row, order](const OrderAnswer &answer) {
        if (!answer.done()) {
            status->setText(answer.message);
            match->setEnabled(true);
            return;
        }
        handMatched.insert(row);
        shown.lines[row].invoiceNumber = order;
        status->setText(QStringLiteral("Платёж № %1 зачтён в заказ № %2.")
                            .arg(shown.lines.at(row).documentNumber)
                            .arg(order));
        table->item(row, 0)->setText(QStringLiteral("зачтён вручную в № %1").arg(order));
        table->item(row, 0)->setForeground(QBrush());
    });
}
