// What the calculator pages share on screen: option codes on the buttons and number fields.
#pragma once

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

// Size and quantity fields take whole numbers up to 100500; `owner` keeps the validators.
void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner);
