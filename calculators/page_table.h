// Each pricing page of the form described once: its answer button, number fields, extras groups,
// live price, alternatives and pricing. The keys, the live prices, the alternatives, the
// take-back of a choice and the clearing after "Ответ" all read this table.
#pragma once

#include "pricing/alternatives.h"
#include "pricing/quote.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QVector>

#include <functional>

class QGroupBox;
class QPushButton;
class QWidget;

struct PricingPageParts
{
    QWidget *page = nullptr; // the tool box page
    QString title; // its tool box caption
    QPushButton *answer = nullptr; // "Ответ"
    QList<QWidget *> numberFields; // in tab order
    // Extras: a second click takes the choice back, and "Ответ" clears them.
    QList<QGroupBox *> extrasGroups;
    QString livePriceName; // the live price label's object name
    QRect livePricePlace;
    std::function<QVector<Quote>()> price; // the lines "Ответ" would append now

    // The alternatives: the two groups paired, the button beside them, and the pricing of every
    // pairing; none on a page without them.
    QGroupBox *compareFirst = nullptr;
    QGroupBox *compareSecond = nullptr;
    QString compareName;
    QPoint comparePlace;
    QString compareWhat; // "бумагах и плотностях"
    std::function<QVector<Alternative>(const AlternativeChoices &)> alternatives;

    bool hasAlternatives() const { return bool(alternatives); }
};
