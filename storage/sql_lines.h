// Order lines and document lists as the tables keep them; shared by the counter's file and the
// journal so that both store a line the same way.
#pragma once

#include "storage/records.h"

#include <QSqlQuery>

// Text for a NOT NULL column: a null QString would bind as NULL.
inline QString notNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// Binds description, quantity, unit_price, key_text, titles, removal_marker, job, explanation,
// missing_price, price_version in that order.
void bindLine(QSqlQuery &query, const OrderLine &line);
// Reads those ten columns, starting at the given field.
OrderLine readLine(const QSqlQuery &query, int first);
QVector<DocumentRecord> readDocuments(const QString &json);
