// The checks of an export before the office is asked anything.
#include "office/export_request.h"

#include "order/money.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

QString templatePathFromTyped(const QString &typed)
{
    const QString path = typed.trimmed();
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        return url.isLocalFile() ? url.toLocalFile() : path;
    }
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

const QStringList &invoice::shopCellNames()
{
    static const QStringList names = {QStringLiteral("ShopName"), QStringLiteral("ShopAddress"),
                                      QStringLiteral("ShopTaxNumbers"), QStringLiteral("ShopBank"),
                                      QStringLiteral("ShopAccount")};
    return names;
}

bool ShopLines::isEmpty() const
{
    return name.isEmpty() && address.isEmpty() && taxNumbers.isEmpty() && bank.isEmpty()
        && account.isEmpty();
}

QVector<QPair<QString, QString>> ShopLines::namedTexts() const
{
    if (isEmpty())
        return {};
    const QStringList &names = invoice::shopCellNames();
    const QString texts[] = {name, address, taxNumbers, bank, account};
    QVector<QPair<QString, QString>> cells;
    for (int i = 0; i < names.size(); ++i)
        cells.append({names.at(i), texts[i]});
    return cells;
}

// Every number goes to the sheet as a number, written so that the sheet reads it back exactly.
static QString exactText(double value)
{
    return QString::number(value, 'g', 17);
}

bool prepareExport(const ExportRequest &request, PreparedExport *prepared, QString *message)
{
    const QString field = QStringLiteral("«Путь к файлу шаблону»");
    QVector<OrderLine> lines = request.lines;
    double subtotal = 0.0;
    for (int i = 0; i < lines.size(); ++i) {
        OrderLine &line = lines[i];
        double quantity = 0.0;
        double price = 0.0;
        const QString fix
            = QStringLiteral(" Исправьте ячейку в таблице заказа и повторите экспорт.");
        if (!readAmount(line.quantity, &quantity)) {
            *message = QStringLiteral("Строка %1: количество «%2» не число.")
                           .arg(i + 1)
                           .arg(line.quantity)
                + fix;
            return false;
        }
        const bool priceIsNumber = readAmount(line.unitPrice, &price);
        if (!priceIsNumber && request.textPricesAccepted) {
            line.quantity = exactText(quantity);
            continue;
        }
        if (!priceIsNumber) {
            *message
                = QStringLiteral("Строка %1: цена «%2» не число.").arg(i + 1).arg(line.unitPrice)
                + fix;
            return false;
        }
        if (!std::isfinite(quantity * price)) {
            *message = QStringLiteral("Строка %1: сумма (количество «%2» × цена «%3») слишком "
                                      "велика для таблицы.")
                           .arg(i + 1)
                           .arg(line.quantity, line.unitPrice)
                + fix;
            return false;
        }
        subtotal += quantity * price;
        line.quantity = exactText(quantity);
        line.unitPrice = exactText(price);
    }
    // The largest a tax on top can make of it: 22 %.
    if (!std::isfinite(subtotal * 1.22)) {
        *message = QStringLiteral("Итог заказа слишком велик для таблицы. Проверьте количества и "
                                  "цены в таблице заказа и повторите экспорт.");
        return false;
    }

    const QString typed = request.typedPath.trimmed();
    const QString path = templatePathFromTyped(request.typedPath);
    const QFileInfo file(path);
    if (path.isEmpty()) {
        *message = QStringLiteral("Путь к шаблону не указан. Введите в поле %1 путь к книге .xlsx "
                                  "или .ods с листом «Лист1».")
                       .arg(field);
        return false;
    }
    if (!file.exists()) {
        *message = QStringLiteral("Файл шаблона «%1» не найден. Введите в поле %2 путь к книге "
                                  ".xlsx или .ods с листом «Лист1».")
                       .arg(typed, field);
        return false;
    }
    if (file.isDir()) {
        *message = QStringLiteral("«%1» — это папка, а не файл шаблона. Введите в поле %2 путь к "
                                  "книге .xlsx или .ods с листом «Лист1».")
                       .arg(typed, field);
        return false;
    }
    if (!file.isReadable()) {
        *message = QStringLiteral("Файл шаблона «%1» нельзя прочитать: нет прав на чтение. Дайте "
                                  "права на чтение или укажите другой шаблон.")
                       .arg(typed);
        return false;
    }
    prepared->path = file.absoluteFilePath();
    prepared->number = request.number;
    prepared->date = request.date;
    prepared->payer = payerText(request.payer);
    prepared->shop = request.shop;
    prepared->lines = lines;
    prepared->signers = request.signers;
    prepared->discountHundredths = request.payer.isNull() ? 0 : request.payer.discountHundredths;
    prepared->tax = request.tax;
    layOutInvoice(prepared);
    return true;
}

void layOutInvoice(PreparedExport *prepared)
{
    const QDate day = prepared->date.isValid() ? prepared->date : QDate::currentDate();
    const FootTerms terms = FootTerms::on(prepared->tax, day, prepared->discountHundredths);
    prepared->blocks = invoiceFor(prepared->lines, prepared->signers, terms);
    prepared->lastRow = 0;
    for (const InvoiceBlock &block : qAsConst(prepared->blocks))
        prepared->lastRow = qMax(prepared->lastRow, block.top + block.rowCount() - 1);
}
