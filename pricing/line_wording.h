// How a customer's document names an order line: the page and the options chosen on it in words,
// read from the line's stored job and the extras' captions ("Листовая продукция: А4 (210×297 мм),
// 4+4, матовая 350 г/м²; ламинация 30 мкм матовая; лак 1+0"), in place of the table's composed
// text.
#pragma once

#include "order/order_line.h"

#include <QString>

// The customer's wording of the line. A line with no job of a pricing page (typed by hand, or from
// elsewhere), or whose description was typed over, keeps its own description.
QString customerWording(const OrderLine &line);
