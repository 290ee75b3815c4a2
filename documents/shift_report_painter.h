// The shift's X or Z report on paper: the shop, the title, one figure a line with the sums right
// aligned, and the signature of who closed the drawer; A4, as the other documents.
#pragma once

#include "order/shift_report.h"

class QPagedPaintDevice;

// The pages painted (1), or 0 if the device could not be painted on.
int paintShiftReport(QPagedPaintDevice *device, const ShiftReport &report, const QString &shopName);
bool writeShiftReportPdf(const ShiftReport &report, const QString &shopName, const QString &path,
                         QString *error);
