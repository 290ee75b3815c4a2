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

// Gives each option button its code or price, read back by the option-group operations.
void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options);
void setOptionValues(std::initializer_list<QAbstractButton *> buttons, int value);

// Gives the page's key option buttons (found under root by object name) the codes the price list's
// key grammars name: one table for the keys the pages compose and the keys the list knows.
void setKeyCodes(const QObject *root, PricingPage page);

// Size and quantity fields take whole numbers up to 100500; `owner` keeps the validators.
void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner);
