// The number fields' validator: plain decimal digits within a range.
#pragma once

#include <QIntValidator>

// QIntValidator lets through, as "intermediate" input that the field keeps, a value above the
// top with as many digits as the top ("1001" for 0..1000) and numbers with group separators
// ("1,000"), which the calculators would then read as 1001 sheets or as 0 pieces. This one
// refuses both as they are typed.
class WholeNumberValidator : public QIntValidator
{
    Q_OBJECT

public:
    WholeNumberValidator(int bottom, int top, QObject *parent);

    State validate(QString &input, int &pos) const override;
};
