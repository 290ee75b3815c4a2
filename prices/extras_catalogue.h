// The extras of the price list: every option whose amount the form adds to a price (lamination,
// binding, varnish, creasing and folding, other work, bases, post-press, pockets, material
// colours), named by page, group and caption and keyed by its object name. Version 0's amounts
// are the ones the pages have always set.
#pragma once

#include "pricing/jobs.h"

#include <QString>
#include <QVector>

struct ExtraOption
{
    QString objectName;
    PricingPage page = PricingPage::SheetProducts;
    QString group; // the group box's title
    QString caption; // the button's text
    double amount = 0.0; // version 0
    QString per; // how the amount enters the price

    // "Листовая: Ламинация — 250 мкм Матовая"; buttons of one group that share a caption are told
    // apart by their place ("кнопка 2 из 4").
    QString meaning() const;
};

const QVector<ExtraOption> &extrasCatalogue();
// The option with this object name, or null.
const ExtraOption *findExtra(const QString &objectName);
