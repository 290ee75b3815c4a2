// Laying out and painting the invoice, the act and the job ticket. Every part is measured and
// painted by the same function, so page breaks are planned from the heights that will be painted.
#include "documents/invoice_painter.h"

#include "customers/requisites.h"
#include "documents/qr_code.h"
#include "order/invoice.h"
#include "prices/file_problem.h"
#include "pricing/line_wording.h"

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
#include <functional>
#include <tuple>

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

enum class Form { Invoice, Act, Ticket };

// The payment code is read by a phone at arm's length: not less than 35 mm a side.
constexpr double PaymentCodeSide = 38;
constexpr double TicketCodeSide = 26;

// A page of the plan: which table rows it carries, and whether the totals end it.
struct PagePlan
{
    int first = 0;
    int end = 0;
    bool table = true;
    bool ending = false;
};

// One table column: its caption, how its texts stand, and its width's bounds in millimetres
// (none for the one that takes what the others leave).
struct ColumnLayout
{
    QString caption;
    Qt::Alignment alignment;
    double least = 0, most = 0;
};

// The ticket's line: the table's text, the options in the customer's words where they say more,
// the titles.
QString ticketDescription(const OrderLine &line)
{
    QStringList parts {line.description};
    const QString words = customerWording(line);
    if (words != line.description)
        parts << words;
    if (!line.titles.trimmed().isEmpty())
        parts << QStringLiteral("Названия: ") + line.titles.trimmed();
    return parts.join(QLatin1Char('\n'));
}

// The customer as the act lists it: name, ИНН, КПП, ОГРН, address and bank, what the card has.
QString customerRequisites(const Customer &customer)
{
    QStringList parts {payerNameLine(customer)};
    const auto numberOf = [&parts](const QString &caption, const QString &value) {
        if (!value.trimmed().isEmpty())
            parts << caption + QChar(0x00A0) + value.trimmed();
    };
    numberOf(ogrnCaption(customer.kind), customer.ogrn);
    if (!payerAddress(customer).isEmpty())
        parts << payerAddress(customer);
    numberOf(QStringLiteral("р/с"), customer.account);
    if (!customer.bankName.trimmed().isEmpty())
        parts << QStringLiteral("в ") + customer.bankName.trimmed();
    numberOf(QStringLiteral("БИК"), customer.bik);
    numberOf(QStringLiteral("к/с"), customer.correspondentAccount);
    QString text = parts.join(QStringLiteral(", "));
    text.replace(QStringLiteral("ИНН "), QStringLiteral("ИНН\u00a0"));
    text.replace(QStringLiteral("КПП "), QStringLiteral("КПП\u00a0"));
    return text;
}

class DocumentPainter
{
public:
    DocumentPainter(QPagedPaintDevice *device, Form form, const InvoiceDocument &document,
                    const JobTicket &ticket = JobTicket())
        : device(device)
        , form(form)
        , document(document)
        , ticket(ticket)
        , texts(form == Form::Ticket ? InvoiceTexts() : invoiceTexts(document))
    {
        if (form == Form::Invoice && document.shop.structured())
            paymentCode = QrCode(document.paymentCode());
        else if (form == Form::Ticket)
            paymentCode = QrCode(ticket.codeText());
        if (form == Form::Ticket) {
            for (int i = 0; i < ticket.lines.size(); ++i) {
                const OrderLine &line = ticket.lines.at(i);
                rows.append({QString::number(i + 1), ticketDescription(line),
                             invoiceAmount(line.quantity, 0), line.keyText});
            }
        } else {
            for (const InvoiceRowTexts &row : texts.rows)
                rows.append({row.number, row.description, row.quantity, row.price, row.sum});
        }
    }

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

    QString title() const
    {
        switch (form) {
        case Form::Act:
            return document.actTitle();
        case Form::Ticket:
            return ticket.title();
        case Form::Invoice:
            break;
        }
        return document.shop.structured() ? document.formTitle() : document.title();
    }

    QVector<ColumnLayout> columnLayouts() const
    {
        if (form == Form::Ticket)
            return {{QStringLiteral("№"), Qt::AlignHCenter, 9, 16},
                    {QStringLiteral("Наименование и параметры"), Qt::AlignLeft},
                    {QStringLiteral("Кол-во"), Qt::AlignRight, 18, 36},
                    {QStringLiteral("Ключ"), Qt::AlignLeft, 24, 60}};
        return {{QStringLiteral("№"), Qt::AlignHCenter, 9, 16},
                {QStringLiteral("Наименование"), Qt::AlignLeft},
                {QStringLiteral("Кол-во"), Qt::AlignRight, 18, 36},
                {QStringLiteral("Цена"), Qt::AlignRight, 24, 40},
                {QStringLiteral("Сумма"), Qt::AlignRight, 26, 44}};
    }

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
        const QVector<ColumnLayout> layouts = columnLayouts();
        QVector<double> widths;
        double taken = 0;
        for (int column = 0; column < layouts.size(); ++column) {
            const double given = layouts.at(column).most > 0
                ? columnWidth(column, mm(layouts.at(column).least), mm(layouts.at(column).most))
                : 0;
            widths.append(given);
            taken += given;
        }
        columns = {0};
        for (int column = 0; column < layouts.size(); ++column)
            columns.append(columns.last()
                           + (layouts.at(column).most > 0 ? widths.at(column) : width - taken));
        rowHeights.clear();
        rowHeights.reserve(rows.size());
        for (int row = 0; row < rows.size(); ++row)
            rowHeights.append(tableRow(row, 0, false));
    }

    // The width the column's widest text needs, header and totals included, within the bounds.
    double columnWidth(int column, double least, double most) const
    {
        const QFontMetricsF plain(cell, device), heavy(cellBold, device);
        double widest = heavy.horizontalAdvance(columnLayouts().at(column).caption);
        for (const QStringList &row : rows)
            widest = qMax(widest, plain.horizontalAdvance(row.at(column)));
        if (form != Form::Ticket && column == SumColumn)
            for (const InvoiceFootTexts &row : texts.foot)
                widest = qMax(widest, (row.total ? heavy : plain).horizontalAdvance(row.amount));
        // A little more than the text: the PDF's metrics round differently from the layout's.
        return qBound(least, widest + 2 * padding + mm(1), most);
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

    double rule(double y, bool draw)
    {
        if (draw) {
            painter.setPen(thick);
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        }
        return 0;
    }

    double header(double top, bool draw)
    {
        switch (form) {
        case Form::Act:
            return actHeader(top, draw);
        case Form::Ticket:
            return ticketHeader(top, draw);
        case Form::Invoice:
            break;
        }
        return document.shop.structured() ? formHeader(top, draw) : freeTextHeader(top, draw);
    }

    // The shop, its bank, the title, the payer: the requisites as free-text lines.
    double freeTextHeader(double top, bool draw)
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
        rule(y, draw);
        y += mm(4);
        y += payer(y, draw);
        y += mm(1.5);
        y += line(regular, QStringLiteral("Основание: заказ в типографии"), y, draw);
        y += mm(5);
        return y - top;
    }

    // The Russian form: the bank table with the payment code beside it, the title, the supplier
    // and the buyer.
    double formHeader(double top, bool draw)
    {
        double y = top;
        y += bankTable(y, draw);
        y += mm(7);
        y += line(titleFont, document.formTitle(), y, draw);
        y += mm(1.5);
        rule(y, draw);
        y += mm(3);
        y += labelled(QStringLiteral("Поставщик:"), supplierText(document.shop), y, draw);
        y += mm(2);
        y += labelled(QStringLiteral("Покупатель:"), buyerText(), y, draw);
        y += mm(2);
        y += labelled(QStringLiteral("Основание:"), QStringLiteral("заказ в типографии"), y, draw);
        y += mm(5);
        return y - top;
    }

    double actHeader(double top, bool draw)
    {
        double y = top;
        y += line(titleFont, document.actTitle(), y, draw);
        y += mm(1.5);
        rule(y, draw);
        y += mm(3);
        y += labelled(QStringLiteral("Исполнитель:"), supplierText(document.shop, true), y, draw);
        y += mm(2);
        y += labelled(QStringLiteral("Заказчик:"),
                      document.payer.isNull() ? QString(48, QLatin1Char('_'))
                                              : customerRequisites(document.payer),
                      y, draw);
        y += mm(2);
        y += labelled(QStringLiteral("Основание:"),
                      document.number.isEmpty() ? QStringLiteral("заказ в типографии")
                                                : QStringLiteral("счёт № %1").arg(document.number),
                      y, draw);
        y += mm(5);
        return y - top;
    }

    // The number large with its code to the right, then who, when and by when.
    double ticketHeader(double top, bool draw)
    {
        const double side = mm(TicketCodeSide);
        const double room = width - side - mm(3);
        const auto left = [&](const QFont &font, const QString &words, double y) {
            return text(font, words, QRectF(0, y, room, 0), Qt::AlignLeft | Qt::AlignTop, draw);
        };
        double y = top;
        y += left(regular, ticket.shopName, y);
        y += mm(1);
        y += left(titleFont, ticket.title(), y);
        y += mm(3);
        const auto when = [](const QDateTime &time) {
            return time.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        };
        if (ticket.created.isValid())
            y += left(regular, QStringLiteral("Принят: ") + when(ticket.created), y);
        y += left(bold,
                  QStringLiteral("Срок: ")
                      + (ticket.due.isValid() ? when(ticket.due) : QStringLiteral("не указан")),
                  y);
        y += mm(1);
        y += left(regular,
                  QStringLiteral("Клиент: ")
                      + (ticket.customer.isEmpty() ? QStringLiteral("—") : ticket.customer),
                  y);
        y += left(regular,
                  QStringLiteral("Телефон: ")
                      + (ticket.phone.isEmpty() ? QStringLiteral("—") : ticket.phone),
                  y);
        if (draw)
            paymentCode.paint(painter, QRectF(width - side, top, side, side));
        y = qMax(y, top + side);
        y += mm(2);
        rule(y, draw);
        y += mm(4);
        return y - top;
    }

    QString buyerText() const
    {
        if (document.payer.isNull())
            return QString(48, QLatin1Char('_'));
        QString name = payerNameLine(document.payer);
        name.replace(QStringLiteral("ИНН "), QStringLiteral("ИНН\u00a0"));
        name.replace(QStringLiteral("КПП "), QStringLiteral("КПП\u00a0"));
        const QString address = payerAddress(document.payer);
        return address.isEmpty() ? name : name + QStringLiteral(", ") + address;
    }

    // A caption in a column of its own and its text beside, wrapped under itself.
    double labelled(const QString &caption, const QString &words, double top, bool draw)
    {
        const double indent = mm(27);
        const double captionHeight
            = text(regular, caption, QRectF(0, top, indent, 0), Qt::AlignLeft | Qt::AlignTop, draw);
        const double wordsHeight = text(bold, words, QRectF(indent, top, width - indent, 0),
                                        Qt::AlignLeft | Qt::AlignTop, draw);
        return qMax(captionHeight, wordsHeight);
    }

    // The bank table of the Russian form, the payment code to its right when there is one:
    //   bank name        | БИК   | bik
    //   Банк получателя  | Сч. № | correspondent account
    //   ИНН    | КПП     | Сч. № | settlement account
    //   shop's name      |       |
    //   Получатель       |       |
    double bankTable(double top, bool draw)
    {
        const ShopRequisites &shop = document.shop;
        const double side = mm(PaymentCodeSide);
        const double right = paymentCode.isNull() ? width : width - side - mm(3);
        const QFontMetricsF metrics(cell, device);
        const double valueWidth
            = qMax(metrics.horizontalAdvance(QStringLiteral("00000000000000000000")),
                   qMax(metrics.horizontalAdvance(shop.settlementAccount),
                        metrics.horizontalAdvance(shop.corrAccount)))
            + 2 * padding + mm(1);
        const double valueLeft = right - valueWidth;
        const double labelLeft = valueLeft - mm(14);
        const double middle = labelLeft / 2;
        const double lineHeight = metrics.height() + 2 * padding;
        const double smallHeight = QFontMetricsF(small, device).height();
        const auto measure = [&](const QString &words, double boxWidth) {
            return text(cell, words, QRectF(0, 0, boxWidth - 2 * padding, 0), Qt::AlignLeft, false);
        };
        const double bankHeight
            = qMax(2 * lineHeight, measure(shop.bankName, labelLeft) + smallHeight + 3 * padding);
        double nameHeight
            = qMax(1.5 * lineHeight, measure(shop.name, labelLeft) + smallHeight + 3 * padding);
        // The table stands as tall as the code beside it.
        if (!paymentCode.isNull())
            nameHeight = qMax(nameHeight, side - bankHeight - lineHeight);
        const double bikBottom = top + lineHeight;
        const double bankBottom = top + bankHeight;
        const double innBottom = bankBottom + lineHeight;
        const double bottom = innBottom + nameHeight;
        if (!draw)
            return qMax(bottom - top, paymentCode.isNull() ? 0.0 : side);

        const auto put = [&](const QFont &font, const QString &words, double left, double y,
                             double boxRight, Qt::Alignment alignment = Qt::AlignLeft) {
            text(font, words, QRectF(left + padding, y, boxRight - left - 2 * padding, 0),
                 alignment | Qt::AlignTop, true);
        };
        painter.setPen(Qt::black);
        put(cell, shop.bankName, 0, top + padding, labelLeft);
        put(small, QStringLiteral("Банк получателя"), 0, bankBottom - padding - smallHeight,
            labelLeft);
        put(cell, QStringLiteral("БИК"), labelLeft, top + padding, valueLeft);
        put(cell, shop.bik, valueLeft, top + padding, right);
        put(cell, QStringLiteral("Сч. №"), labelLeft, bikBottom + padding, valueLeft);
        put(cell, shop.corrAccount, valueLeft, bikBottom + padding, right);
        put(cell, QStringLiteral("ИНН ") + shop.inn, 0, bankBottom + padding, middle);
        put(cell, QStringLiteral("КПП ") + shop.kpp, middle, bankBottom + padding, labelLeft);
        put(cell, QStringLiteral("Сч. №"), labelLeft, bankBottom + padding, valueLeft);
        put(cell, shop.settlementAccount, valueLeft, bankBottom + padding, right);
        put(cell, shop.name, 0, innBottom + padding, labelLeft);
        put(small, QStringLiteral("Получатель"), 0, bottom - padding - smallHeight, labelLeft);

        painter.setPen(thin);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0, top, right, bottom - top));
        const auto across = [&](double from, double to, double y) {
            painter.drawLine(QPointF(from, y), QPointF(to, y));
        };
        const auto down = [&](double x, double from, double to) {
            painter.drawLine(QPointF(x, from), QPointF(x, to));
        };
        across(labelLeft, right, bikBottom);
        across(0, right, bankBottom);
        across(0, labelLeft, innBottom);
        down(labelLeft, top, bottom);
        down(valueLeft, top, bottom);
        down(middle, bankBottom, innBottom);
        if (!paymentCode.isNull())
            paymentCode.paint(painter, QRectF(width - side, top, side, side));
        return qMax(bottom - top, paymentCode.isNull() ? 0.0 : side);
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
        QStringList captions;
        for (const ColumnLayout &layout : columnLayouts())
            captions << layout.caption;
        const QVector<Qt::Alignment> centred(captions.size(), Qt::AlignHCenter);
        return cells(captions, NumberColumn, cellBold, centred, top, draw,
                     QColor(0xE4, 0xE4, 0xE4));
    }

    double tableRow(int row, double top, bool draw)
    {
        QVector<Qt::Alignment> alignments;
        for (const ColumnLayout &layout : columnLayouts())
            alignments << layout.alignment;
        return cells(rows.at(row), NumberColumn, cell, alignments, top, draw);
    }

    double ending(double top, bool draw)
    {
        switch (form) {
        case Form::Ticket:
            return ticketEnding(top, draw);
        case Form::Act:
        case Form::Invoice:
            break;
        }
        double y = top + foot(top, draw);
        y += mm(5);
        if (form == Form::Act) {
            y += line(regular,
                      QStringLiteral("Всего оказано услуг %1, на сумму %2 руб.")
                          .arg(texts.rows.size())
                          .arg(texts.total),
                      y, draw);
            y += mm(1);
            y += line(bold, texts.totalInWords, y, draw);
            y += mm(4);
            y += line(regular,
                      QStringLiteral("Вышеперечисленные работы выполнены полностью и в срок. "
                                     "Заказчик претензий по объёму, качеству и срокам оказания "
                                     "услуг не имеет."),
                      y, draw);
            y += mm(2);
            rule(y, draw);
            y += mm(8);
            y += actSignatures(y, draw);
            return y - top;
        }
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
        rule(y, draw);
        y += mm(12);
        y += signature(QStringLiteral("Руководитель предприятия"), document.shop.director, y, draw);
        y += mm(10);
        y += signature(QStringLiteral("Главный бухгалтер"), document.shop.accountant, y, draw);
        y += mm(8);
        y += text(bold, QStringLiteral("М.П."), QRectF(mm(20), y, mm(30), 0), Qt::AlignLeft, draw);
        return y - top;
    }

    // The totals under the table.
    double foot(double top, bool draw)
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
        return y - top;
    }

    // Both parties side by side: the executor signs for the shop, the customer beside.
    double actSignatures(double top, bool draw)
    {
        const double half = width / 2;
        double tallest = 0;
        const QString customer = document.payer.isNull() ? QString() : document.payer.name();
        const QVector<std::tuple<QString, QString, QString, double>> sides
            = {{QStringLiteral("Исполнитель"), document.shop.name, document.shop.director, 0},
               {QStringLiteral("Заказчик"), customer, QString(), half + mm(4)}};
        for (const auto &[role, who, name, left] : sides) {
            const double room = half - mm(4);
            double y = top;
            y += text(bold, role, QRectF(left, y, room, 0), Qt::AlignLeft, draw);
            y += text(regular, who, QRectF(left, y, room, 0), Qt::AlignLeft, draw);
            y += mm(10);
            const double lineRight = left + mm(40);
            if (!name.isEmpty())
                text(regular, QStringLiteral("/ ") + name + QStringLiteral(" /"),
                     QRectF(lineRight + mm(2), y - QFontMetricsF(regular, device).height(),
                            left + room - lineRight - mm(2), 0),
                     Qt::AlignLeft, draw);
            if (draw) {
                painter.setPen(thin);
                painter.drawLine(QPointF(left, y), QPointF(lineRight, y));
            }
            y += mm(0.5);
            y += text(small, QStringLiteral("подпись"), QRectF(left, y, mm(40), 0),
                      Qt::AlignHCenter, draw);
            y += mm(4);
            y += text(bold, QStringLiteral("М.П."), QRectF(left, y, mm(30), 0), Qt::AlignLeft,
                      draw);
            tallest = qMax(tallest, y - top);
        }
        return tallest;
    }

    double ticketEnding(double top, bool draw)
    {
        double y = top + mm(5);
        y += line(regular, QStringLiteral("Позиций: %1").arg(ticket.lines.size()), y, draw);
        if (!ticket.note.trimmed().isEmpty()) {
            y += mm(3);
            y += line(bold, QStringLiteral("Примечание:"), y, draw);
            y += line(regular, ticket.note.trimmed(), y, draw);
        }
        y += mm(10);
        y += signature(QStringLiteral("Принял"), QString(), y, draw);
        y += mm(8);
        y += signature(QStringLiteral("Выполнил"), QString(), y, draw);
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
        text(small, title(), box, Qt::AlignLeft | Qt::AlignBottom, true);
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
    const Form form;
    // Copies: the ticket's painter is given temporaries (the lines are shared, not copied).
    const InvoiceDocument document;
    const JobTicket ticket;
    const InvoiceTexts texts;
    QVector<QStringList> rows; // the table's cells as printed
    QrCode paymentCode; // the invoice's payment code, the ticket's number; null: none
    QPainter painter;
    double dpi = 72, width = 0, height = 0, padding = 0;
    QFont regular, bold, cell, cellBold, small, shopFont, titleFont;
    QPen thin, thick;
    QVector<double> columns; // left edges of the columns, then the right edge of the last
    QVector<double> rowHeights;
};

// A document made in memory first: the writer ignores what its device refuses, and a file cut
// short by a full disk must never take the place of the name.
bool writePdf(const QString &title, const std::function<int(QPagedPaintDevice *)> &paint,
              const QString &path, QString *error)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(invoicePageLayout());
        writer.setResolution(600);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("printcalc"));
        if (paint(&writer) == 0) {
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

} // namespace

int paintInvoice(QPagedPaintDevice *device, const InvoiceDocument &document)
{
    return DocumentPainter(device, Form::Invoice, document).paint();
}

int paintAct(QPagedPaintDevice *device, const InvoiceDocument &document)
{
    return DocumentPainter(device, Form::Act, document).paint();
}

int paintTicket(QPagedPaintDevice *device, const JobTicket &ticket)
{
    return DocumentPainter(device, Form::Ticket, InvoiceDocument(), ticket).paint();
}

QPageLayout invoicePageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 15, 12, 12),
                       QPageLayout::Millimeter);
}

bool writeInvoicePdf(const InvoiceDocument &document, const QString &path, QString *error)
{
    const QString title = document.shop.structured() ? document.formTitle() : document.title();
    return writePdf(
        title, [&](QPagedPaintDevice *device) { return paintInvoice(device, document); }, path,
        error);
}

bool writeActPdf(const InvoiceDocument &document, const QString &path, QString *error)
{
    return writePdf(
        document.actTitle(), [&](QPagedPaintDevice *device) { return paintAct(device, document); },
        path, error);
}

bool writeTicketPdf(const JobTicket &ticket, const QString &path, QString *error)
{
    return writePdf(
        ticket.title(), [&](QPagedPaintDevice *device) { return paintTicket(device, ticket); },
        path, error);
}

bool writePaintedPdf(const QString &title, const std::function<int(QPagedPaintDevice *)> &paint,
                     const QString &path, QString *error)
{
    return writePdf(title, paint, path, error);
}
