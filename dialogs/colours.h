// The colours of the window and its dialogs, one for each meaning, so that a warning looks the
// same wherever it is said.
#pragma once

#include <QColor>
#include <QString>

// A note of what is wrong: the settings' and the typed line's problems, the shop out of reach.
const QColor ProblemColour(0xb0, 0x00, 0x00);
// The notice that the built-in prices are samples: a caution, not a fault.
const QColor SampleNoticeColour(0x8a, 0x4b, 0x00);
// A live price the price list has no price for.
const QColor LivePriceWarningColour(176, 58, 0);
// The warm mark of a price cell without a price: a soft orange, far from the removal marker's red.
const QColor MissingPriceColour(255, 214, 153);
// The marker column of a line the operator may take off the invoice.
const QColor RemovalMarkerColour(Qt::red);

// A label's style sheet in the colour, bold where it must stand out among buttons.
inline QString labelColourStyle(const QColor &colour, bool bold = false)
{
    return QStringLiteral("QLabel { color: ") + colour.name()
        + (bold ? QStringLiteral("; font-weight: bold; }") : QStringLiteral("; }"));
}
