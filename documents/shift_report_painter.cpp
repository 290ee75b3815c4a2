// The report painted in the invoice's typeface, its figures in two columns.
#include "documents/shift_report_painter.h"

#include "documents/invoice_painter.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// Sums are printed as the documents print money: "1 200,50"; other values as they are.
QString shownValue(const ShiftReportLine &line)
{
    qint64 kopecks = 0;
    const bool isSum = line.value.contains(QLatin1Char('.')) && readKopecks(line.value, &kopecks);
    if (!isSum)
        return line.value;
    const QString digits = QString::number(qAbs(kopecks) / 100);
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += QChar(0x00A0);
        grouped += digits.at(i);
    }
    return (kopecks < 0 ? QStringLiteral("−") : QString()) + grouped + QLatin1Char(',')
        + QStringLiteral("%1").arg(qAbs(kopecks) % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

int paintShiftReport(QPagedPaintDevice *device, const ShiftReport &report, const QString &shopName)
{
    QPainter painter;
    if (!painter.begin(device))
        return 0;
    const double mm = device->logicalDpiX() / 25.4;
    const double width = device->width();
    const QString family = invoiceFontFamily();
    const auto font = [&](double points, bool bold) {
        QFont result(family);
        result.setPointSizeF(points);
        result.setBold(bold);
        return result;
    };
    double y = 0;
    painter.setFont(font(12, true));
    if (!shopName.isEmpty()) {
        painter.drawText(QRectF(0, y, width, 8 * mm), Qt::AlignLeft | Qt::AlignVCenter, shopName);
        y += 10 * mm;
    }
    painter.setFont(font(15, true));
    painter.drawText(QRectF(0, y, width, 10 * mm), Qt::AlignLeft | Qt::AlignVCenter,
                     report.title());
    y += 14 * mm;
    const double row = 6.5 * mm;
    const double labelWidth = 75 * mm;
    painter.setPen(QPen(Qt::black, 0.2 * mm));
    for (const ShiftReportLine &line : report.lines) {
        const bool total = line.label == QStringLiteral("Ожидается в кассе")
            || line.label == QStringLiteral("Расхождение");
        painter.setFont(font(total ? 10.5 : 10, total));
        const QString value = shownValue(line);
        const bool sum = value != line.value;
        const QRectF valueBox(labelWidth, y, width - labelWidth, row);
        painter.drawText(QRectF(0, y, labelWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                         line.label);
        // A long value (the hash, the names) takes a smaller face rather than leave the page.
        if (!sum && painter.fontMetrics().horizontalAdvance(value) > valueBox.width())
            painter.setFont(font(7, false));
        painter.drawText(
            valueBox,
            (sum ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine, value);
        y += row;
        painter.drawLine(QPointF(0, y), QPointF(width, y));
    }
    if (report.closing) {
        y += 18 * mm;
        painter.setFont(font(10, false));
        painter.drawText(
            QRectF(0, y, width, row), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Кассир ____________________    Менеджер ____________________"));
    }
    painter.end();
    return 1;
}

bool writeShiftReportPdf(const ShiftReport &report, const QString &shopName, const QString &path,
                         QString *error)
{
    return writePaintedPdf(
        report.title(),
        [&](QPagedPaintDevice *device) { return paintShiftReport(device, report, shopName); }, path,
        error);
}
