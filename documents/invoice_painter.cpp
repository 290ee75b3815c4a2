// Laying out and painting the invoice. Every part is measured and painted by the same function,
// so page breaks are planned from the heights that will be painted.
#include "documents/invoice_painter.h"

#include "order/invoice.h"
#include "prices/file_problem.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextOption>

#include <algorithm>
#include <cerrno>

QString invoiceFontFamily()
{
    static const QString family = [] {
        QString loaded;
        for (const char *file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
            const QString path = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                        QStringLiteral("fonts/truetype/dejavu/")
                                                            + QLatin1String(file));
            const int id = path.isEmpty() ? -1 : QFontDatabase::addApplicationFont(path);
            if (id >= 0 && loaded.isEmpty())
                loaded = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        return loaded.isEmpty() ? QStringLiteral("DejaVu Sans") : loaded;
    }();
    return family;
}

namespace {

enum Column { NumberColumn, DescriptionColumn, QuantityColumn, PriceColumn, SumColumn, Columns };

// A page of the plan: which table rows it carries, and whether the totals end it.
struct PagePlan
{
    int first = 0;
    int end = 0;
    bool table = true;
    bool ending = false;
};

class InvoicePainter
{
public:
    InvoicePainter(QPagedPaintDevice *device, const InvoiceDocument &document)
        : device(device)
        , document(document)
        , texts(invoiceTexts(document))
    { }

    int paint()
    {
        if (!painter.begin(device))
            return 0;
        setUp();
        const QVector<PagePlan> pages = plan();
        for (int index = 0; index < pages.size(); ++index) {
            const PagePlan &page = pages.at(index);
            if (index > 0)
                device->newPage();
            double y = index == 0 ? header(0, true) : 0;
            if (page.table) {
                y += tableHeader(y, true);
                for (int row = page.first; row < page.end; ++row)
                    y += tableRow(row, y, true);
            }
            if (page.ending)
                ending(y, true);
            if (pages.size() > 1)
                footer(index + 1, pages.size());
        }
        painter.end();
        return pages.size();
    }

private:
    double mm(double millimetres) const { return millimetres * dpi / 25.4; }

    void setUp()
    {
        dpi = painter.device()->logicalDpiY();
        width = painter.device()->width();
        height = painter.device()->height();
        const QString family = invoiceFontFamily();
        const auto font = [&family](double points, bool boldFace) {
            QFont font(family);
            font.setPointSizeF(points);
            font.setBold(boldFace);
            return font;
        };
        regular = font(9.5, false);
        bold = font(9.5, true);
        cell = font(9, false);
        cellBold = font(9, true);
        small = font(7, false);
        shopFont = font(14, true);
        titleFont = font(15, true);
        thin = QPen(Qt::black, mm(0.2));
        thick = QPen(Qt::black, mm(0.6));
        padding = mm(1.5);

        // The figures' columns are as wide as their widest figure, within bounds, so that a sum
        // never breaks over two lines; the description takes what is left.
        const double numberWidth = columnWidth(NumberColumn, mm(9), mm(16));
        const double quantityWidth = columnWidth(QuantityColumn, mm(18), mm(36));
        const double priceWidth = columnWidth(PriceColumn, mm(24), mm(40));
        const double sumWidth = columnWidth(SumColumn, mm(26), mm(44));
        const double descriptionWidth = width - numberWidth - quantityWidth - priceWidth - sumWidth;
        columns = {0,
                   numberWidth,
                   numberWidth + descriptionWidth,
                   numberWidth + descriptionWidth + quantityWidth,
                   width - sumWidth,
                   width};
        rowHeights.clear();
        rowHeights.reserve(texts.rows.size());
        for (int row = 0; row < texts.rows.size(); ++row)
            rowHeights.append(tableRow(row, 0, false));
    }

    // The width the column's widest text needs, header and totals included, within the bounds.
    double columnWidth(Column column, double least, double most) const
    {
        const QFontMetricsF plain(cell, device), heavy(cellBold, device);
        double widest = heavy.horizontalAdvance(headers().at(column));
        for (const InvoiceRowTexts &row : texts.rows) {
            const QString &value = column == NumberColumn ? row.number
                : column == QuantityColumn                ? row.quantity
                : column == PriceColumn                   ? row.price
                                                          : row.sum;
            widest = qMax(widest, plain.horizontalAdvance(value));
        }
        if (column == SumColumn)
            for (const InvoiceFootTexts &row : texts.foot)
                widest = qMax(widest, (row.total ? heavy : plain).horizontalAdvance(row.amount));
        // A little more than the text: the PDF's metrics round differently from the layout's.
        return qBound(least, widest + 2 * padding + mm(1), most);
    }

    static const QStringList &headers()
    {
        static const QStringList captions
            = {QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("Кол-во"),
               QStringLiteral("Цена"), QStringLiteral("Сумма")};
        return captions;
    }

    // Wrapped text in a box, at word boundaries and, for a word wider than the box, anywhere.
    double text(const QFont &font, const QString &words, const QRectF &box, Qt::Alignment alignment,
                bool draw)
    {
        if (words.isEmpty())
            return 0;
        painter.setFont(font);
        QTextOption option(alignment);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        const double needed = painter.boundingRect(box, words, option).height();
        if (draw)
            painter.drawText(QRectF(box.x(), box.y(), box.width(), qMax(box.height(), needed)),
                             words, option);
        return needed;
    }

    double line(const QFont &font, const QString &words, double y, bool draw)
    {
        return text(font, words, QRectF(0, y, width, 0), Qt::AlignLeft | Qt::AlignTop, draw);
    }

    // The shop, its bank, the title, the payer.
    double header(double top, bool draw)
    {
        const ShopRequisites &shop = document.shop;
        double y = top;
        y += line(shopFont, shop.name, y, draw);
        y += mm(1);
        y += line(regular, shop.address, y, draw);
        y += line(regular, shop.taxNumbers, y, draw);
        if (!shop.bank.isEmpty() || !shop.account.isEmpty()) {
            y += mm(2.5);
            const double boxTop = y;
            y += padding;
            const QRectF inner(padding, y, width - 2 * padding, 0);
            y += text(regular, shop.bank, inner, Qt::AlignLeft | Qt::AlignTop, draw);
            y += text(regular, shop.account, inner.translated(0, y - inner.y()),
                      Qt::AlignLeft | Qt::AlignTop, draw);
            y += padding;
            if (draw) {
                painter.setPen(thin);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(0, boxTop, width, y - boxTop));
            }
        }
        y += mm(8);
        y += line(titleFont, document.title(), y, draw);
        y += mm(1.5);
        if (draw) {
            painter.setPen(thick);
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        }
        y += mm(4);
        y += payer(y, draw);
        y += mm(1.5);
        y += line(regular, QStringLiteral("Основание: заказ в типографии"), y, draw);
        y += mm(5);
        return y - top;
    }

    // "Плательщик:" and the payer's name, ИНН and КПП, wrapped under themselves only where the
    // page is too narrow; the address on the line below, under the name.
    double payer(double top, bool draw)
    {
        const QString label = QStringLiteral("Плательщик: ");
        if (document.payer.isNull())
            return line(regular, payerLineText(document.payer), top, draw);
        const double indent = QFontMetricsF(regular, device).horizontalAdvance(label);
        text(regular, label, QRectF(0, top, indent + mm(1), 0), Qt::AlignLeft | Qt::AlignTop, draw);
        const QRectF box(indent, top, width - indent, 0);
        double y = top;
        // A number is never parted from its name at a line's end.
        QString name = payerNameLine(document.payer);
        name.replace(QStringLiteral("ИНН "), QStringLiteral("ИНН\u00a0"));
        name.replace(QStringLiteral("КПП "), QStringLiteral("КПП\u00a0"));
        y += text(regular, name, box, Qt::AlignLeft | Qt::AlignTop, draw);
        y += text(regular, payerAddress(document.payer), box.translated(0, y - top),
                  Qt::AlignLeft | Qt::AlignTop, draw);
        return y - top;
    }

    // One framed row of cells over the given columns, the first value over `firstSpan` of them;
    // its height from the tallest text.
    double cells(const QStringList &values, int firstColumn, const QFont &font,
                 const QVector<Qt::Alignment> &alignments, double top, bool draw,
                 const QBrush &fill = Qt::NoBrush, int firstSpan = 1)
    {
        const auto left
            = [&](int i) { return columns.at(firstColumn + (i > 0 ? firstSpan - 1 : 0) + i); };
        const auto right = [&](int i) { return columns.at(firstColumn + firstSpan + i); };
        double textHeight = 0;
        for (int i = 0; i < values.size(); ++i) {
            const QRectF box(left(i) + padding, top + padding, right(i) - left(i) - 2 * padding, 0);
            textHeight = qMax(textHeight, text(font, values.at(i), box, alignments.at(i), false));
        }
        textHeight = qMax(textHeight, QFontMetricsF(font, device).height());
        const double rowHeight = textHeight + 2 * padding;
        if (!draw)
            return rowHeight;
        for (int i = 0; i < values.size(); ++i) {
            const QRectF frame(left(i), top, right(i) - left(i), rowHeight);
            painter.setPen(thin);
            painter.setBrush(fill);
            painter.drawRect(frame);
            painter.setPen(Qt::black);
            text(font, values.at(i), frame.adjusted(padding, padding, -padding, -padding),
                 alignments.at(i) | Qt::AlignVCenter, true);
        }
        return rowHeight;
    }

    double tableHeader(double top, bool draw)
    {
        static const QVector<Qt::Alignment> centred(Columns, Qt::AlignHCenter);
        return cells(headers(), NumberColumn, cellBold, centred, top, draw,
                     QColor(0xE4, 0xE4, 0xE4));
    }

    double tableRow(int row, double top, bool draw)
    {
        static const QVector<Qt::Alignment> alignments
            = {Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight};
        const InvoiceRowTexts &values = texts.rows.at(row);
        return cells({values.number, values.description, values.quantity, values.price, values.sum},
                     NumberColumn, cell, alignments, top, draw);
    }

    // The totals under the table, the total in words, the validity, the signatures.
    double ending(double top, bool draw)
    {
        static const QVector<Qt::Alignment> alignments = {Qt::AlignLeft, Qt::AlignRight};
        double y = top;
        // Captions wider than the price column ("В том числе НДС 22 %") take the quantity's too,
        // the whole foot alike.
        const double captionRoom = columns.at(SumColumn) - columns.at(PriceColumn) - 2 * padding;
        bool wide = false;
        for (const InvoiceFootTexts &row : texts.foot)
            wide = wide
                || QFontMetricsF(row.total ? cellBold : cell, device).horizontalAdvance(row.caption)
                    > captionRoom;
        for (const InvoiceFootTexts &row : texts.foot)
            y += cells({row.caption, row.amount}, wide ? QuantityColumn : PriceColumn,
                       row.total ? cellBold : cell, alignments, y, draw, Qt::NoBrush, wide ? 2 : 1);
        y += mm(5);
        y += line(regular, texts.countLine, y, draw);
        y += mm(1);
        y += line(bold, texts.totalInWords, y, draw);
        y += mm(4);
        y += line(regular,
                  QStringLiteral("Счёт действителен до ")
                      + document.validUntil().toString(QStringLiteral("dd.MM.yyyy"))
                      + QLatin1Char('.'),
                  y, draw);
        y += mm(2);
        if (draw) {
            painter.setPen(thick);
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        }
        y += mm(12);
        y += signature(QStringLiteral("Руководитель предприятия"), document.shop.director, y, draw);
        y += mm(10);
        y += signature(QStringLiteral("Главный бухгалтер"), document.shop.accountant, y, draw);
        y += mm(8);
        y += text(bold, QStringLiteral("М.П."), QRectF(mm(20), y, mm(30), 0), Qt::AlignLeft, draw);
        return y - top;
    }

    // "Руководитель предприятия ________________ / Иванов И. И. /", "подпись" under the line; the
    // name is left to be written by hand when the settings give none.
    double signature(const QString &role, const QString &name, double top, bool draw)
    {
        const double lineLeft = mm(52), lineRight = mm(105);
        const double textHeight = text(regular, role, QRectF(0, top, lineLeft, 0),
                                       Qt::AlignLeft | Qt::AlignBottom, draw);
        if (!name.isEmpty())
            text(regular, QStringLiteral("/ ") + name + QStringLiteral(" /"),
                 QRectF(lineRight + mm(2), top, width - lineRight - mm(2), 0), Qt::AlignLeft, draw);
        const double baseline = top + textHeight;
        const double smallHeight = text(
            small, QStringLiteral("подпись"),
            QRectF(lineLeft, baseline + mm(0.5), lineRight - lineLeft, 0), Qt::AlignHCenter, draw);
        if (draw) {
            painter.setPen(thin);
            painter.drawLine(QPointF(lineLeft, baseline), QPointF(lineRight, baseline));
        }
        return textHeight + mm(0.5) + smallHeight;
    }

    void footer(int page, int pages)
    {
        painter.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF box(0, height - mm(4), width, mm(4));
        text(small, document.title(), box, Qt::AlignLeft | Qt::AlignBottom, true);
        text(small, QStringLiteral("Страница %1 из %2").arg(page).arg(pages), box,
             Qt::AlignRight | Qt::AlignBottom, true);
        painter.setPen(Qt::black);
    }

    // Rows fill each page down to the footer; the totals follow the last row, and when they do
    // not fit under it, the last row goes over with them so the totals never stand alone.
    QVector<PagePlan> plan()
    {
        const double bottom = height - mm(7);
        const double tableTop = tableHeader(0, false);
        const double endingHeight = ending(0, false);
        QVector<PagePlan> pages;
        PagePlan page;
        double y = header(0, false) + tableTop;
        for (int row = 0; row < rowHeights.size(); ++row) {
            if (y + rowHeights.at(row) > bottom && page.end > page.first) {
                pages.append(page);
                page = PagePlan {row, row};
                y = tableTop;
            }
            y += rowHeights.at(row);
            page.end = row + 1;
        }
        if (y + endingHeight > bottom) {
            if (page.end - page.first >= 2) {
                pages.append(PagePlan {page.first, page.end - 1});
                page = PagePlan {page.end - 1, page.end};
            } else {
                pages.append(page);
                page = PagePlan {page.end, page.end, false};
            }
        }
        page.ending = true;
        pages.append(page);
        return pages;
    }

    QPagedPaintDevice *device;
    const InvoiceDocument &document;
    const InvoiceTexts texts;
    QPainter painter;
    double dpi = 72, width = 0, height = 0, padding = 0;
    QFont regular, bold, cell, cellBold, small, shopFont, titleFont;
    QPen thin, thick;
    QVector<double> columns; // left edges of the columns, then the right edge of the last
    QVector<double> rowHeights;
};

} // namespace

int paintInvoice(QPagedPaintDevice *device, const InvoiceDocument &document)
{
    return InvoicePainter(device, document).paint();
}

QPageLayout invoicePageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 15, 12, 12),
                       QPageLayout::Millimeter);
}

bool writeInvoicePdf(const InvoiceDocument &document, const QString &path, QString *error)
{
    // Made in memory first: the writer ignores what its device refuses, and a file cut short by a
    // full disk must never take the place of the name.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(invoicePageLayout());
        writer.setResolution(600);
        writer.setTitle(document.title());
        writer.setCreator(QStringLiteral("printcalc"));
        if (paintInvoice(&writer, document) == 0) {
            *error = QStringLiteral("PDF не удалось составить");
            return false;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = fileWriteProblem(errno, file.error(), file.errorString());
        return false;
    }
    const QByteArray &bytes = pdf.data();
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *error = fileWriteProblem(errno, file.error(), file.errorString());
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.flush() || !file.commit()) {
        *error = fileWriteProblem(errno, file.error(), file.errorString());
        return false;
    }
    return true;
}
