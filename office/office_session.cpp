// The office layer: UNO bootstrap, the pipe connection, template loading and bulk cell writes.
#include "office/office_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;

static QString exceptionText(const uno::Exception &error)
{
    const QString text = toQString(error.Message).trimmed();
    return text.isEmpty() ? QStringLiteral("без пояснений") : text;
}

// The local UNO runtime, made once per process. Without URE_BOOTSTRAP the bootstrap crashes.
static Reference<uno::XComponentContext> localContext(QString *error)
{
    static Reference<uno::XComponentContext> context;
    if (context.is())
        return context;
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP",
                "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception &e) {
        *error = exceptionText(e);
    }
    return context;
}

static QString officeProgram()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (!found.isEmpty())
        return found;
    const QString packaged = QStringLiteral("/usr/lib/libreoffice/program/soffice");
    return QFileInfo(packaged).isExecutable() ? packaged : QString();
}

OfficeSession::OfficeSession(const QString &pipeName)
    : m_pipeName(pipeName)
{ }

OfficeSession &OfficeSession::shared()
{
    static OfficeSession *session = new OfficeSession(QStringLiteral("printcalc-office"));
    return *session;
}

bool OfficeSession::fail(const QString &message)
{
    m_lastError = message;
    return false;
}

bool OfficeSession::alive()
{
    if (!m_desktop.is())
        return false;
    try {
        m_desktop->getFrames();
        return true;
    } catch (const uno::Exception &) {
        // The operator closed the office: its bridge is gone, so start afresh.
        m_desktop.clear();
        m_context.clear();
        m_lastDocument.clear();
        return false;
    }
}

bool OfficeSession::connectOnce()
{
    QString error;
    const Reference<uno::XComponentContext> local = localContext(&error);
    if (!local.is())
        return false;
    const QString url
        = QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipeName);
    try {
        const Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        Reference<uno::XComponentContext> remote(resolver->resolve(toOUString(url)),
                                                 uno::UNO_QUERY_THROW);
        m_desktop = frame::Desktop::create(remote);
        m_context = remote;
        return true;
    } catch (const connection::NoConnectException &) {
        return false;
    } catch (const uno::Exception &e) {
        // Also what a half-started office answers; the caller retries until its time limit.
        m_lastError = exceptionText(e);
        return false;
    }
}

bool OfficeSession::reach()
{
    m_lastError.clear();
    QString error;
    if (!localContext(&error).is())
        return fail(QStringLiteral("Не запускается среда UNO пакета LibreOffice (%1). Установите "
                                   "LibreOffice Calc и повторите экспорт.")
                        .arg(error));
    if (alive() || connectOnce())
        return true;

    const QString program = officeProgram();
    if (program.isEmpty())
        return fail(QStringLiteral("LibreOffice Calc не установлен (не найдена программа soffice). "
                                   "Установите LibreOffice Calc и повторите экспорт."));
    QStringList arguments = m_startArguments;
    arguments << QStringLiteral("--norestore")
              << QStringLiteral("--accept=pipe,name=%1;urp;").arg(m_pipeName);
    // The office outlives the program; it must not hold the program's output open either.
    QProcess starter;
    starter.setProgram(program);
    starter.setArguments(arguments);
    starter.setWorkingDirectory(QDir::homePath());
    starter.setStandardInputFile(QProcess::nullDevice());
    starter.setStandardOutputFile(QProcess::nullDevice());
    starter.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!starter.startDetached(&pid))
        return fail(
            QStringLiteral("Не удалось запустить LibreOffice Calc (%1). Проверьте установку "
                           "LibreOffice и повторите экспорт.")
                .arg(program));
    m_startedProcessId = pid;

    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < StartTimeLimitMs) {
        if (connectOnce()) {
            m_lastError.clear();
            return true;
        }
        // Repaint the window while the office starts, but take no clicks meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
        QThread::msleep(50);
    }
    return fail(QStringLiteral("LibreOffice Calc не ответил за %1 с после запуска. Закройте "
                               "зависшие окна LibreOffice и повторите экспорт.")
                    .arg(StartTimeLimitMs / 1000));
}

static beans::PropertyValue property(const char *name, const Any &value)
{
    beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

Reference<sheet::XSpreadsheetDocument> OfficeSession::openTemplate(const QString &path)
{
    m_lastError.clear();
    const QString field = QStringLiteral("«Путь к файлу шаблону»");
    const QFileInfo file(path);
    if (path.trimmed().isEmpty()) {
        fail(QStringLiteral("Путь к шаблону не указан. Введите в поле %1 путь к книге .xlsx "
                            "или .ods с листом «Лист1».")
                 .arg(field));
        return {};
    }
    if (!file.exists()) {
        fail(QStringLiteral("Файл шаблона «%1» не найден. Введите в поле %2 путь к книге .xlsx "
                            "или .ods с листом «Лист1».")
                 .arg(path, field));
        return {};
    }
    if (file.isDir()) {
        fail(QStringLiteral("«%1» — это папка, а не файл шаблона. Введите в поле %2 путь к "
                            "книге .xlsx или .ods с листом «Лист1».")
                 .arg(path, field));
        return {};
    }
    if (!file.isReadable()) {
        fail(QStringLiteral("Файл шаблона «%1» нельзя прочитать: нет прав на чтение. Дайте права "
                            "на чтение или укажите другой шаблон.")
                 .arg(path));
        return {};
    }
    const QString notSpreadsheet
        = QStringLiteral("Файл «%1» не является книгой электронной таблицы. Введите в поле %2 путь "
                         "к книге .xlsx или .ods с листом «Лист1».")
              .arg(path, field);

    // Cyrillic letters and blanks in the path must reach the office percent-encoded.
    const QString url = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
    const beans::PropertyValue loadProperties[]
        = {property("AsTemplate", Any(true)), property("Hidden", Any(false))};
    const Sequence<beans::PropertyValue> load(loadProperties, 2);
    Reference<lang::XComponent> component;
    try {
        component = m_desktop->loadComponentFromURL(toOUString(url), "_blank", 0, load);
    } catch (const lang::IllegalArgumentException &) {
        fail(notSpreadsheet); // no filter of the office recognises the file
        return {};
    } catch (const uno::RuntimeException &e) {
        fail(QStringLiteral("Связь с LibreOffice Calc прервалась при открытии шаблона «%1» (%2). "
                            "Повторите экспорт.")
                 .arg(path, exceptionText(e)));
        m_desktop.clear();
        return {};
    } catch (const uno::Exception &e) {
        fail(QStringLiteral("LibreOffice Calc не смог открыть шаблон «%1» (%2). Проверьте, что "
                            "файл не повреждён, или укажите другой шаблон.")
                 .arg(path, exceptionText(e)));
        return {};
    }
    if (!component.is()) {
        fail(notSpreadsheet);
        return {};
    }
    const Reference<sheet::XSpreadsheetDocument> document(component, UNO_QUERY);
    if (!document.is()) {
        // A text file, say, opens in the word processor: not ours to keep open.
        discard(component);
        fail(notSpreadsheet);
        return {};
    }
    m_lastDocument = document;
    return document;
}

Reference<sheet::XSpreadsheet>
OfficeSession::sheetByName(const Reference<sheet::XSpreadsheetDocument> &document,
                           const QString &name, const QString &path)
{
    m_lastError.clear();
    try {
        const Reference<container::XNameAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
        if (sheets->hasByName(toOUString(name)))
            return Reference<sheet::XSpreadsheet>(sheets->getByName(toOUString(name)), UNO_QUERY);
        fail(QStringLiteral("В шаблоне «%1» нет листа «%2». Назовите лист счёта «%2» или "
                            "укажите другой шаблон.")
                 .arg(path, name));
    } catch (const uno::Exception &e) {
        fail(QStringLiteral("Не удалось прочитать листы шаблона «%1» (%2). Повторите экспорт.")
                 .arg(path, exceptionText(e)));
    }
    return {};
}

static Any cellValue(const InvoiceCell &cell)
{
    // Texts go in through the data array, which stores them as they are: "=1+1" stays a text.
    // A formula cell gets an empty placeholder here and its formula in a call of its own.
    if (cell.kind == InvoiceCell::Number)
        return Any(cell.number);
    return Any(cell.kind == InvoiceCell::Text ? toOUString(cell.text) : rtl::OUString());
}

static Sequence<rtl::OUString> framedNames()
{
    // Sorted, as setPropertyValues expects.
    const rtl::OUString names[] = {"BottomBorder", "HoriJustify", "IsTextWrapped", "LeftBorder",
                                   "RightBorder",  "TopBorder",   "VertJustify"};
    return Sequence<rtl::OUString>(names, 7);
}

static Sequence<Any> framedValues()
{
    table::BorderLine2 line;
    line.Color = 0;
    line.LineStyle = table::BorderLineStyle::SOLID;
    line.OuterLineWidth = 26;
    line.LineWidth = 26;
    const Any values[] = {Any(line),
                          Any(table::CellHoriJustify_CENTER),
                          Any(true),
                          Any(line),
                          Any(line),
                          Any(line),
                          Any(sal_Int32(table::CellVertJustify2::CENTER))};
    return Sequence<Any>(values, 7);
}

bool OfficeSession::writeBlocks(const Reference<sheet::XSpreadsheetDocument> &document,
                                const Reference<sheet::XSpreadsheet> &sheet,
                                const QVector<InvoiceBlock> &blocks)
{
    m_lastError.clear();
    const Reference<frame::XModel> model(document, UNO_QUERY);
    try {
        // No repaint per block while the window already shows the document.
        if (model.is())
            model->lockControllers();
        const Sequence<rtl::OUString> names = framedNames();
        const Sequence<Any> values = framedValues();
        for (const InvoiceBlock &block : blocks) {
            if (block.rowCount() == 0 || block.columnCount() == 0)
                continue;
            const int top = block.top - 1; // the API counts rows from 0
            const Reference<table::XCellRange> range = sheet->getCellRangeByPosition(
                block.left, top, block.left + block.columnCount() - 1, top + block.rowCount() - 1);

            Sequence<Sequence<Any>> data(block.rowCount());
            Sequence<Any> *dataRows = data.getArray();
            for (int r = 0; r < block.rowCount(); ++r) {
                dataRows[r].realloc(block.columnCount());
                Any *cells = dataRows[r].getArray();
                for (int c = 0; c < block.columnCount(); ++c)
                    cells[c] = cellValue(block.rows.at(r).at(c));
            }
            Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->setDataArray(data);

            for (int r = 0; r < block.rowCount(); ++r)
                for (int c = 0; c < block.columnCount(); ++c) {
                    const InvoiceCell &cell = block.rows.at(r).at(c);
                    if (cell.kind == InvoiceCell::Formula)
                        sheet->getCellByPosition(block.left + c, top + r)
                            ->setFormula(toOUString(cell.text));
                }

            if (block.framed)
                Reference<beans::XMultiPropertySet>(range, uno::UNO_QUERY_THROW)
                    ->setPropertyValues(names, values);
            else
                Reference<beans::XPropertySet>(range, uno::UNO_QUERY_THROW)
                    ->setPropertyValue("IsTextWrapped", Any(false));
        }
        if (model.is())
            model->unlockControllers();
    } catch (const uno::Exception &e) {
        try {
            if (model.is() && model->hasControllersLocked())
                model->unlockControllers();
        } catch (const uno::Exception &) { }
        return fail(QStringLiteral("Запись счёта в LibreOffice Calc прервалась (%1). Закройте "
                                   "недописанный счёт и повторите экспорт.")
                        .arg(exceptionText(e)));
    }
    return true;
}

void OfficeSession::show(const Reference<sheet::XSpreadsheetDocument> &document,
                         const Reference<sheet::XSpreadsheet> &sheet)
{
    // Only a courtesy to the operator: the invoice is written whether or not this succeeds.
    try {
        const Reference<frame::XModel> model(document, UNO_QUERY);
        if (!model.is())
            return;
        const Reference<frame::XController> controller = model->getCurrentController();
        const Reference<sheet::XSpreadsheetView> view(controller, UNO_QUERY);
        if (view.is())
            view->setActiveSheet(sheet);
        if (controller.is() && controller->getFrame().is()) {
            const Reference<awt::XTopWindow> window(controller->getFrame()->getContainerWindow(),
                                                    UNO_QUERY);
            if (window.is())
                window->toFront();
        }
    } catch (const uno::Exception &) { }
}

void OfficeSession::discard(const Reference<uno::XInterface> &document)
{
    if (m_lastDocument.is() && m_lastDocument == document)
        m_lastDocument.clear();
    try {
        const Reference<util::XCloseable> closeable(document, UNO_QUERY);
        const Reference<lang::XComponent> component(document, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else if (component.is())
            component->dispose();
    } catch (const uno::Exception &) { }
}
