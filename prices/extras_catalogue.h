// The extras of the price list: every option whose amount the form adds to a price (lamination,
// binding, varnish, creasing and folding, other work, bases, post-press, pockets, material
// colours), named by page, group and caption. Each has a key of its own
// ("sheet.lamination.matte-250") that versions, files and stored jobs use, so that renaming a
// button in the form orphans nothing; the object name finds the button. Version 0's amounts are the
// ones the pages have always set.
#pragma once

#include "pricing/jobs.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

struct ExtraOption
{
    QString key; // page.group.option, lower-case ASCII
    QString objectName; // the button in the form
    QString formerName; // what files and databases called it before keys: the object name then
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
// The option with this key, or null.
const ExtraOption *findExtra(const QString &key);
// The option whose button has this object name, or null.
const ExtraOption *findExtraByObjectName(const QString &objectName);
// The option a file or database written before keys named so, or null.
const ExtraOption *findExtraByFormerName(const QString &formerName);

// A stored job with each extra's key put beside its former name ("key" next to "name"); added
// counts the choices keyed.
QJsonObject withExtraKeys(QJsonObject job, int *added = nullptr);
