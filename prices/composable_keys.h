// The keys the pages can compose, found by pricing every combination of their key options with the
// pages' own functions, and the keys the price list lists: the built-in list's, then the composable
// keys it lacks, which a version may price.
#pragma once

#include "pricing/jobs.h"

#include <QString>
#include <QVector>

// Every key some page looks up for some choice of its options, each once.
bool isComposableKey(const QString &key);

// The built-in list's keys in its order, then the composable keys it has no price for, in the
// pages' order (sheet products, brochures, street, interior, souvenirs).
const QVector<QString> &listedPriceKeys();

// A page that prices a standard size of this key at a factor other than 1 (interior sheets and
// souvenirs take 0,001 of the price).
struct StandardFactor
{
    PricingPage page = PricingPage::SheetProducts;
    double factor = 1.0;
};
QVector<StandardFactor> standardFactors(const QString &key);

// How many of the listed keys the built-in list has no price for.
int unpricedBuiltInCount();

// How the list and its file show a key without a price: "нет цены".
QString noPriceText();
