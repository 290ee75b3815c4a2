// What the operator typed in the counter's customer field, put where a new card wants it.
#pragma once

#include "customers/customer.h"

#include <QString>

// A new card holding the typed text: 10 or 12 digits are an ИНН (10: an organisation, 12: a sole
// trader), digits after a plus or a leading 8 (spaces, brackets and dashes allowed) a private
// person's phone, anything else the short name.
Customer customerFromTyped(const QString &typed);
