// The alternatives table: the page's job priced on every pairing of two option groups the price
// list prices, cheapest first, the page's own pairing marked. Enter or a double click takes the
// pairing over to the page and closes the table.
#pragma once

#include "pricing/alternatives.h"

#include <QDialog>
#include <QHash>
#include <QScopedPointer>

#include <functional>

namespace Ui {
class AlternativesDialog;
}
class QTableWidget;

class AlternativesDialog : public QDialog
{
public:
    // Columns of the table.
    enum Column { Mark, First, Second, UnitPrice, Sum, ColumnCount };

    // Where two options of a group share a caption, `captions` names them apart (object name to
    // the caption shown); each option cell holds its option's object name as Qt::UserRole.
    AlternativesDialog(const QString &pageTitle, const QString &firstTitle,
                       const QString &secondTitle, const QVector<Alternative> &alternatives,
                       const QHash<QString, QString> &captions, QWidget *parent);
    ~AlternativesDialog() override;

    // Called with the pairing chosen, before the table closes.
    std::function<void(const Alternative &chosen)> apply;

    QTableWidget *table() const;
    const QVector<Alternative> &alternatives() const { return offered; }

private:
    void choose(int row);

    const QScopedPointer<Ui::AlternativesDialog> ui;
    QVector<Alternative> offered;
};
