// Text from outside (a name, a phone, a comment, a reason) as a terminal, a log or a file shows
// it: what would move the cursor, clear the screen or end a line there becomes a visible mark.
// The text stays stored as it came.
#pragma once

#include <QString>

// Control characters become marks: C0 as their pictures (␛, ␍…), DEL as ␡, C1 and the line and
// paragraph separators as �. keep lists the C0 characters a file keeps (a tab, a quoted line
// break); everything else is unchanged.
QString visibleText(const QString &text, const QString &keep = QString());
