// What the calculator pages share on screen: option codes on the buttons and number fields.
#pragma once

#include "pricing/jobs.h"

#include <QString>

#include <initializer_list>
#include <utility>

class QAbstractButton;
class QGroupBox;
class QLineEdit;
class QObject;
class QWidget;

// Gives each option button of a pricing page, as the form keeps it, the code or the version 0
// amount the key meanings and the extras catalogue name it with. Pricing reads the version in
// force, never these.
void setOptionValues(QWidget *page, PricingPage pricingPage);
// Codes of a page the price list does not price yet.
void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options);

// The largest size or quantity a field takes, and the most inner sheets of a brochure.
const int FieldLimit = 100500;
const int InnerSheetsLimit = 1000;

// Size and quantity fields take whole numbers up to FieldLimit; `owner` keeps the validators.
void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner);
