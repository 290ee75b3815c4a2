// The office layer: UNO bootstrap, the pipe connection, the office's process, type detection,
// template loading, the checks before writing and the bulk cell writes.
#include "office/office_session.h"

#include "office/office_profile.h"
#include "office/uno_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeReferrer.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>

#include <csignal>
#include <unistd.h>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// Lines written with one data call: small enough that a slow office shows progress between them.
constexpr int ChunkRows = 250;
// A filter that asks for import options (CSV, dBase) would show a dialog in the operator's office.
constexpr sal_Int32 FilterUsesOptions = 0x00000080;

const QString TemplateField = QStringLiteral("«Путь к файлу шаблону»");

QString lostConnection()
{
    return QStringLiteral("Связь с LibreOffice Calc прервалась: программа закрылась или перестала "
                          "отвечать. Повторите экспорт — LibreOffice будет запущен заново.");
}

// Answers every question the office would put to the operator while loading with "cancel", so
// that no dialog can ever wait for a click.
class NoQuestions : public cppu::WeakImplHelper1<task::XInteractionHandler>
{
public:
    void SAL_CALL handle(const Reference<task::XInteractionRequest> &request) override
    {
        const auto continuations = request->getContinuations();
        for (const auto &continuation : continuations) {
            const Reference<task::XInteractionAbort> abort(continuation, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

// The local UNO runtime, made once per process. Without URE_BOOTSTRAP the bootstrap crashes.
Reference<uno::XComponentContext> localContext(QString *error)
{
    static QMutex mutex;
    static Reference<uno::XComponentContext> context;
    QMutexLocker lock(&mutex);
    if (context.is())
        return context;
    // The bridge writes into the office's pipe; an office that died must not take the program
    // with it through SIGPIPE: the write fails and the call reports the lost connection.
    ::signal(SIGPIPE, SIG_IGN);
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" LIBREOFFICE_PROGRAM_DIR "/fundamentalrc");
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception &e) {
        *error = exceptionText(e);
    }
    return context;
}

QString officeProgram()
{
    const QString packaged = QStringLiteral(LIBREOFFICE_PROGRAM_DIR "/soffice");
    if (QFileInfo(packaged).isExecutable())
        return packaged;
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

Reference<sheet::XSpreadsheet> sheetOf(const Reference<sheet::XSpreadsheetDocument> &document,
                                       const QString &name)
{
    const Reference<container::XNameAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
    if (!sheets->hasByName(toOUString(name)))
        return {};
    return Reference<sheet::XSpreadsheet>(sheets->getByName(toOUString(name)), UNO_QUERY_THROW);
}

Any propertyOf(const Sequence<beans::PropertyValue> &properties, const char *name)
{
    for (const beans::PropertyValue &property : properties)
        if (property.Name.equalsAscii(name))
            return property.Value;
    return Any();
}

Any cellValue(const InvoiceCell &cell)
{
    // Texts go in through the data array, which stores them as they are: "=1+1" stays a text.
    // A formula cell gets an empty placeholder here and its formula in a call of its own.
    if (cell.kind == InvoiceCell::Number)
        return Any(cell.number);
    return Any(cell.kind == InvoiceCell::Text ? toOUString(cell.text) : rtl::OUString());
}

// The top left cell of the range the document names, null where it names none.
Reference<table::XCell> namedCell(const Reference<sheet::XSpreadsheetDocument> &document,
                                  const QString &name)
{
    const Reference<beans::XPropertySet> properties(document, UNO_QUERY_THROW);
    const Reference<container::XNameAccess> ranges(properties->getPropertyValue("NamedRanges"),
                                                   UNO_QUERY_THROW);
    if (!ranges->hasByName(toOUString(name)))
        return {};
    const Reference<sheet::XCellRangeReferrer> referrer(ranges->getByName(toOUString(name)),
                                                        UNO_QUERY);
    const Reference<table::XCellRange> cells
        = referrer.is() ? referrer->getReferredCells() : Reference<table::XCellRange>();
    return cells.is() ? cells->getCellByPosition(0, 0) : Reference<table::XCell>();
}

Sequence<rtl::OUString> framedNames()
{
    // Sorted, as setPropertyValues expects.
    const rtl::OUString names[] = {"BottomBorder", "HoriJustify", "IsTextWrapped", "LeftBorder",
                                   "RightBorder",  "TopBorder",   "VertJustify"};
    return Sequence<rtl::OUString>(names, 7);
}

Sequence<Any> framedValues()
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

} // namespace

OfficeDocument::OfficeDocument() = default;

OfficeDocument::OfficeDocument(std::shared_ptr<Data> data)
    : d(std::move(data))
{ }

bool OfficeDocument::isNull() const
{
    return !d || !d->document.is();
}

bool operator==(const OfficeDocument &a, const OfficeDocument &b)
{
    return unoDocument(a) == unoDocument(b);
}

struct OfficeSession::Private
{
    QString pipeName;
    mutable QMutex mutex; // guards the members below, never held across a call to the office
    QStringList startArguments;
    bool programProfile = false; // the program's own office profile goes with the arguments
    qint64 startedProcessId = 0;
    Reference<uno::XComponentContext> context;
    Reference<frame::XDesktop2> desktop;
    OfficeDocument lastDocument;
    std::function<void(const QString &)> testHook;
    // Only one thread starts or connects at a time; a stuck one is waited for with a time limit.
    QMutex reachMutex;

    Reference<frame::XDesktop2> currentDesktop() const
    {
        QMutexLocker lock(&mutex);
        return desktop;
    }
    std::function<void(const QString &)> hook() const
    {
        QMutexLocker lock(&mutex);
        return testHook;
    }
    Reference<uno::XComponentContext> currentContext() const
    {
        QMutexLocker lock(&mutex);
        return context;
    }
    void forget()
    {
        QMutexLocker lock(&mutex);
        desktop.clear();
        context.clear();
        lastDocument = OfficeDocument();
    }
    bool connectOnce(OfficeFailure *failure);
    bool alive();
    // Called from a catch block: the failure for the exception being handled, a lost bridge told
    // apart from the rest. UNO exceptions are not polymorphic, so the type is learnt by rethrowing.
    void failed(const QString &message, OfficeFailure *failure)
    {
        bool gone = false;
        QString details;
        try {
            throw;
        } catch (const lang::DisposedException &e) {
            gone = true;
            details = exceptionText(e);
        } catch (const uno::Exception &e) {
            details = exceptionText(e);
            gone = details.contains(QLatin1String("bridge"), Qt::CaseInsensitive);
        }
        if (gone)
            forget();
        if (failure)
            *failure = {gone ? lostConnection() : message, details};
    }
};

Reference<frame::XDesktop2> OfficeSessionAccess::desktop(OfficeSession &session)
{
    return session.d->currentDesktop();
}

Reference<uno::XComponentContext> OfficeSessionAccess::context(OfficeSession &session)
{
    return session.d->currentContext();
}

OfficeSession::OfficeSession(const QString &pipeName)
    : d(new Private)
{
    d->pipeName = pipeName;
    d->startArguments = QStringList {QStringLiteral("--invisible")};
}

OfficeSession::~OfficeSession() = default;

OfficeSession &OfficeSession::shared()
{
    static OfficeSession *session = [] {
        auto *program = new OfficeSession(pipeNameFor(QDir::homePath()));
        program->d->programProfile = true;
        return program;
    }();
    return *session;
}

QString OfficeSession::pipeNameFor(const QString &home)
{
    const QString path = QDir::cleanPath(home);
    // The pipe becomes a socket's file name: plain letters and digits only, and short.
    QString name;
    for (const QChar c : QFileInfo(path).fileName()) {
        if (name.size() < 16 && c.unicode() < 128 && c.isLetterOrNumber())
            name += c.toLower();
    }
    const QByteArray digest
        = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("printcalc-office-")
        + (name.isEmpty() ? QString() : name + QLatin1Char('-')) + QString::fromLatin1(digest);
}

QString OfficeSession::pipeName() const
{
    return d->pipeName;
}

void OfficeSession::setStartArguments(const QStringList &arguments)
{
    QMutexLocker lock(&d->mutex);
    d->startArguments = arguments;
    d->programProfile = false;
}

qint64 OfficeSession::startedProcessId() const
{
    QMutexLocker lock(&d->mutex);
    return d->startedProcessId;
}

QList<qint64> OfficeSession::processIds() const
{
    // The launcher and the office both carry the pipe in their command line.
    const QByteArray marker = "pipe,name=" + d->pipeName.toUtf8() + ';';
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = file.readAll().split('\0');
        if (arguments.isEmpty())
            continue;
        const QByteArray program = arguments.first();
        if (!program.endsWith("soffice.bin") && !program.endsWith("oosplash"))
            continue;
        for (const QByteArray &argument : arguments)
            if (argument.contains(marker)) {
                found << pid;
                break;
            }
    }
    return found;
}

bool OfficeSession::Private::alive()
{
    const Reference<frame::XDesktop2> current = currentDesktop();
    if (!current.is())
        return false;
    try {
        current->getFrames();
        return true;
    } catch (const uno::Exception &) {
        // The office was closed: its bridge is gone, so start afresh.
        forget();
        return false;
    }
}

bool OfficeSession::Private::connectOnce(OfficeFailure *failure)
{
    QString error;
    const Reference<uno::XComponentContext> local = localContext(&error);
    if (!local.is())
        return false;
    const QString url
        = QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName);
    try {
        const Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        const Reference<uno::XComponentContext> remote(resolver->resolve(toOUString(url)),
                                                       UNO_QUERY_THROW);
        const Reference<frame::XDesktop2> found = frame::Desktop::create(remote);
        QMutexLocker lock(&mutex);
        desktop = found;
        context = remote;
        return true;
    } catch (const connection::NoConnectException &) {
        return false;
    } catch (const uno::Exception &e) {
        // Also what a half-started office answers; the caller retries until its time limit.
        if (failure)
            failure->details = exceptionText(e);
        return false;
    }
}

bool OfficeSession::reach(OfficeFailure *failure, int timeLimitMs)
{
    OfficeFailure ignored;
    if (!failure)
        failure = &ignored;
    QString error;
    if (!localContext(&error).is()) {
        *failure = {QStringLiteral("Не удаётся связаться с LibreOffice: его среда UNO не "
                                   "запускается. Переустановите LibreOffice Calc и повторите "
                                   "экспорт."),
                    error};
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    if (!d->reachMutex.tryLock(timeLimitMs)) {
        *failure = {QStringLiteral("LibreOffice Calc не отвечает. Перезапустите его и повторите "
                                   "экспорт."),
                    QStringLiteral("another connection attempt is still waiting")};
        return false;
    }
    struct Unlock
    {
        QMutex *mutex;
        ~Unlock() { mutex->unlock(); }
    } unlock {&d->reachMutex};

    if (d->alive() || d->connectOnce(failure))
        return true;

    const QString program = officeProgram();
    if (program.isEmpty()) {
        *failure = {QStringLiteral("LibreOffice Calc не установлен. Установите LibreOffice Calc и "
                                   "повторите экспорт."),
                    QStringLiteral("soffice not found in " LIBREOFFICE_PROGRAM_DIR)};
        return false;
    }
    QStringList arguments;
    bool programProfile = false;
    {
        QMutexLocker lock(&d->mutex);
        arguments = d->startArguments;
        programProfile = d->programProfile;
    }
    // The program's own profile, its settings made sure of before the office reads them. Where it
    // cannot be written, the office starts on the operator's own profile, as it did before.
    if (programProfile) {
        const QString profile = officeprofile::programFolder();
        if (officeprofile::prepare(profile))
            arguments << officeprofile::installationArgument(profile);
    }
    arguments << QStringLiteral("--norestore")
              << QStringLiteral("--accept=pipe,name=%1;urp;").arg(d->pipeName);
    // The office may outlive the program; it must not hold the program's output open either.
    QProcess starter;
    starter.setProgram(program);
    starter.setArguments(arguments);
    starter.setWorkingDirectory(QDir::homePath());
    starter.setStandardInputFile(QProcess::nullDevice());
    starter.setStandardOutputFile(QProcess::nullDevice());
    starter.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!starter.startDetached(&pid)) {
        *failure = {QStringLiteral("Не удалось запустить LibreOffice Calc. Проверьте установку "
                                   "LibreOffice и повторите экспорт."),
                    program};
        return false;
    }
    {
        QMutexLocker lock(&d->mutex);
        d->startedProcessId = pid;
    }
    while (waited.elapsed() < timeLimitMs) {
        if (d->connectOnce(failure)) {
            *failure = OfficeFailure();
            return true;
        }
        QThread::msleep(100);
    }
    *failure = {QStringLiteral("LibreOffice Calc не ответил за %1 с после запуска. Закройте "
                               "зависшие окна LibreOffice и повторите экспорт.")
                    .arg(timeLimitMs / 1000),
                failure->details};
    return false;
}

void OfficeSession::preload(const QString &templatePath)
{
    OfficeFailure failure;
    if (!templatePath.isEmpty() && QFileInfo(templatePath).isFile()) {
        const OfficeDocument document = openTemplate(templatePath, &failure);
        if (!document.isNull()) {
            // The first writes and formulas load code the office loads on first use: pay that
            // now, in a document nobody sees.
            const QString &sheet = invoice::sheetName();
            OrderLine line;
            line.quantity = line.unitPrice = QStringLiteral("1");
            const QVector<InvoiceBlock> sample = invoiceFor({line});
            if (checkInvoiceSheet(document, sheet, invoice::FirstLineRow, 30, &failure))
                writeBlocks(document, sheet, sample, &failure);
            discard(document);
            return;
        }
    }
    const Reference<frame::XDesktop2> desktop = d->currentDesktop();
    if (!desktop.is())
        return;
    try {
        const beans::PropertyValue hidden = unoProperty("Hidden", Any(true));
        const Reference<util::XCloseable> empty(
            desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                          Sequence<beans::PropertyValue>(&hidden, 1)),
            UNO_QUERY);
        if (empty.is())
            empty->close(true);
    } catch (const uno::Exception &) {
        // Only a head start: the export will meet and report whatever went wrong here.
    }
}

bool OfficeSession::isConnected()
{
    return d->alive();
}

OfficeDocument OfficeSession::openTemplate(const QString &path, OfficeFailure *failure)
{
    const Reference<uno::XComponentContext> context = d->currentContext();
    const Reference<frame::XDesktop2> desktop = d->currentDesktop();
    if (!context.is() || !desktop.is()) {
        *failure = {lostConnection(), QStringLiteral("not connected")};
        return {};
    }
    const QString notSpreadsheet
        = QStringLiteral("Файл «%1» не является книгой электронной таблицы. Введите в поле %2 путь "
                         "к книге .xlsx или .ods с листом «Лист1».")
              .arg(path, TemplateField);
    // Cyrillic letters and blanks in the path must reach the office percent-encoded.
    const rtl::OUString url = toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));

    // The type first: loading a text or a picture named .xlsx would open the office's format
    // dialog and wait for a click in its window; detection asks nothing.
    rtl::OUString filter;
    try {
        const Reference<lang::XMultiComponentFactory> factory = context->getServiceManager();
        const Reference<document::XTypeDetection> detection(
            factory->createInstanceWithContext("com.sun.star.document.TypeDetection", context),
            UNO_QUERY_THROW);
        Sequence<beans::PropertyValue> descriptor(1);
        descriptor.getArray()[0] = unoProperty("URL", Any(url));
        const rtl::OUString type = detection->queryTypeByDescriptor(descriptor, true);
        if (type.isEmpty()) {
            *failure = {notSpreadsheet, QStringLiteral("type detection found no type")};
            return {};
        }
        Sequence<beans::PropertyValue> typeProperties;
        Reference<container::XNameAccess>(detection, UNO_QUERY_THROW)->getByName(type)
            >>= typeProperties;
        propertyOf(typeProperties, "PreferredFilter") >>= filter;
        const Reference<container::XNameAccess> filters(
            factory->createInstanceWithContext("com.sun.star.document.FilterFactory", context),
            UNO_QUERY_THROW);
        rtl::OUString service;
        sal_Int32 flags = 0;
        if (!filter.isEmpty() && filters->hasByName(filter)) {
            Sequence<beans::PropertyValue> filterProperties;
            filters->getByName(filter) >>= filterProperties;
            propertyOf(filterProperties, "DocumentService") >>= service;
            propertyOf(filterProperties, "Flags") >>= flags;
        }
        if (service != "com.sun.star.sheet.SpreadsheetDocument" || (flags & FilterUsesOptions)) {
            *failure = {notSpreadsheet,
                        QStringLiteral("detected type %1, filter %2")
                            .arg(toQString(type), toQString(filter))};
            return {};
        }
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral("LibreOffice Calc не смог прочитать шаблон «%1». Проверьте, что "
                                 "файл не повреждён, или укажите другой шаблон.")
                      .arg(path),
                  failure);
        return {};
    }

    // Hidden until it is written: an invoice that fails halfway, or whose export was abandoned,
    // is closed before anyone sees it. Macros never run and links stay as they are, whatever the
    // office's security level.
    const Reference<task::XInteractionHandler> handler(new NoQuestions);
    const beans::PropertyValue loadProperties[] = {
        unoProperty("AsTemplate", Any(true)),
        unoProperty("Hidden", Any(true)),
        unoProperty("FilterName", Any(filter)),
        unoProperty("MacroExecutionMode", Any(sal_Int16(document::MacroExecMode::NEVER_EXECUTE))),
        unoProperty("UpdateDocMode", Any(sal_Int16(document::UpdateDocMode::NO_UPDATE))),
        unoProperty("InteractionHandler", Any(handler)),
    };
    Reference<lang::XComponent> component;
    if (const auto hook = d->hook())
        hook(QStringLiteral("load"));
    try {
        component = desktop->loadComponentFromURL(
            url, "_blank", 0, Sequence<beans::PropertyValue>(loadProperties, 6));
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral("LibreOffice Calc не смог открыть шаблон «%1». Проверьте, что "
                                 "файл не повреждён, или укажите другой шаблон.")
                      .arg(path),
                  failure);
        return {};
    }
    const Reference<sheet::XSpreadsheetDocument> document(component, UNO_QUERY);
    if (!document.is()) {
        try {
            const Reference<util::XCloseable> closeable(component, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        } catch (const uno::Exception &) { }
        *failure = {notSpreadsheet, QStringLiteral("the loaded component is no spreadsheet")};
        return {};
    }
    const OfficeDocument opened(
        std::make_shared<OfficeDocument::Data>(OfficeDocument::Data {document, path}));
    QMutexLocker lock(&d->mutex);
    d->lastDocument = opened;
    return opened;
}

bool OfficeSession::checkInvoiceSheet(const OfficeDocument &document, const QString &sheetName,
                                      int firstRow, int lastRow, OfficeFailure *failure)
{
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    const QString path = document.isNull() ? QString() : document.data()->templatePath;
    const auto refuse = [failure](const QString &message, const QString &details = QString()) {
        *failure = {message, details};
        return false;
    };
    try {
        const Reference<sheet::XSpreadsheet> sheet = sheetOf(doc, sheetName);
        if (!sheet.is())
            return refuse(QStringLiteral("В шаблоне «%1» нет листа «%2». Назовите лист счёта «%2» "
                                         "или укажите другой шаблон.")
                              .arg(path, sheetName));
        if (Reference<util::XProtectable>(sheet, UNO_QUERY_THROW)->isProtected())
            return refuse(QStringLiteral("Счёт не записан: в шаблоне «%1» лист «%2» защищён. "
                                         "Снимите защиту листа в LibreOffice Calc (Сервис → "
                                         "Защитить лист) или укажите другой шаблон.")
                              .arg(path, sheetName));
        // Columns B to F, rows counted from 0 by the API.
        const Reference<table::XCellRange> rows
            = sheet->getCellRangeByPosition(1, firstRow - 1, 5, lastRow - 1);
        const Reference<sheet::XSheetCellRanges> filled
            = Reference<sheet::XCellRangesQuery>(rows, UNO_QUERY_THROW)
                  ->queryContentCells(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME
                                      | sheet::CellFlags::STRING | sheet::CellFlags::FORMULA);
        if (filled.is() && filled->getCount() > 0) {
            QStringList cells;
            const auto addresses = filled->getRangeAddresses();
            for (const table::CellRangeAddress &address : addresses)
                cells << cellName(address.StartRow + 1, address.StartColumn);
            return refuse(QStringLiteral("Счёт не записан: в шаблоне «%1» заняты строки с %2-й "
                                         "(ячейка %3). Счёт пишется в столбцы B–F с %2-й "
                                         "строки: очистите их в шаблоне или укажите другой "
                                         "шаблон.")
                              .arg(path)
                              .arg(firstRow)
                              .arg(cells.first()),
                          toQString(filled->getRangeAddressesAsString()));
        }
        if (Reference<util::XMergeable>(rows, UNO_QUERY_THROW)->getIsMerged())
            return refuse(QStringLiteral("Счёт не записан: в шаблоне «%1» заняты строки с %2-й — "
                                         "там есть объединённые ячейки. Отмените объединение "
                                         "ячеек в столбцах B–F с %2-й строки или укажите другой "
                                         "шаблон.")
                              .arg(path)
                              .arg(firstRow));
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral("Не удалось проверить лист «%1» шаблона. Повторите экспорт.")
                      .arg(sheetName),
                  failure);
        return false;
    }
    return true;
}

bool OfficeSession::writeBlocks(const OfficeDocument &document, const QString &sheetName,
                                const QVector<InvoiceBlock> &blocks, OfficeFailure *failure)
{
    const std::function<void(const QString &)> hook = d->hook();
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    try {
        const Reference<sheet::XSpreadsheet> sheet = sheetOf(doc, sheetName);
        if (!sheet.is()) {
            *failure = {QStringLiteral("В шаблоне нет листа «%1».").arg(sheetName), QString()};
            return false;
        }
        // No repaint per block while the window already shows the document.
        const ControllerLock lock(Reference<frame::XModel>(doc, UNO_QUERY));
        const Sequence<rtl::OUString> names = framedNames();
        const Sequence<Any> values = framedValues();
        int chunk = 0;
        for (const InvoiceBlock &block : blocks) {
            if (block.rowCount() == 0 || block.columnCount() == 0)
                continue;
            const int top = block.top - 1; // the API counts rows from 0
            const int right = block.left + block.columnCount() - 1;
            for (int first = 0; first < block.rowCount(); first += ChunkRows) {
                const int count = qMin(ChunkRows, block.rowCount() - first);
                if (hook)
                    hook(QStringLiteral("write %1").arg(chunk));
                ++chunk;
                Sequence<Sequence<Any>> data(count);
                Sequence<Any> *dataRows = data.getArray();
                for (int r = 0; r < count; ++r) {
                    const QVector<InvoiceCell> &row = block.rows.at(first + r);
                    dataRows[r].realloc(block.columnCount());
                    Any *cells = dataRows[r].getArray();
                    for (int c = 0; c < block.columnCount(); ++c)
                        cells[c] = cellValue(row.at(c));
                }
                Reference<sheet::XCellRangeData>(
                    sheet->getCellRangeByPosition(block.left, top + first, right,
                                                  top + first + count - 1),
                    UNO_QUERY_THROW)
                    ->setDataArray(data);
            }
            for (int r = 0; r < block.rowCount(); ++r)
                for (int c = 0; c < block.columnCount(); ++c) {
                    const InvoiceCell &cell = block.rows.at(r).at(c);
                    if (cell.kind == InvoiceCell::Formula)
                        sheet->getCellByPosition(block.left + c, top + r)
                            ->setFormula(toOUString(cell.text));
                }
            const Reference<table::XCellRange> range
                = sheet->getCellRangeByPosition(block.left, top, right, top + block.rowCount() - 1);
            if (block.framed)
                Reference<beans::XMultiPropertySet>(range, UNO_QUERY_THROW)
                    ->setPropertyValues(names, values);
            else
                Reference<beans::XPropertySet>(range, UNO_QUERY_THROW)
                    ->setPropertyValue("IsTextWrapped", Any(false));
        }
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral("Запись счёта в LibreOffice Calc не удалась. Недописанный счёт "
                                 "закрыт; повторите экспорт."),
                  failure);
        return false;
    }
    return true;
}

bool OfficeSession::writeNumberAndDate(const OfficeDocument &document, const QString &number,
                                       const QDate &date, const QString &payer,
                                       OfficeFailure *failure)
{
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    try {
        if (!number.isEmpty()) {
            const Reference<table::XCell> cell = namedCell(doc, QStringLiteral("НомерСчёта"));
            if (cell.is())
                Reference<text::XText>(cell, UNO_QUERY_THROW)->setString(toOUString(number));
        }
        if (!payer.isEmpty()) {
            const Reference<table::XCell> cell = namedCell(doc, QStringLiteral("Покупатель"));
            if (cell.is()) {
                Reference<text::XText>(cell, UNO_QUERY_THROW)->setString(toOUString(payer));
                // A payer wrapped over two lines gets the row's height for them.
                const Reference<table::XColumnRowRange> range(cell, UNO_QUERY);
                const Reference<beans::XPropertySet> rows(
                    range.is() ? range->getRows() : Reference<table::XTableRows>(), UNO_QUERY);
                if (rows.is())
                    rows->setPropertyValue("OptimalHeight", Any(true));
            }
        }
        if (date.isValid()) {
            const Reference<table::XCell> cell = namedCell(doc, QStringLiteral("ДатаСчёта"));
            if (cell.is()) {
                // A real date, shown day first as Russian documents write it.
                const Reference<util::XNumberFormats> formats
                    = Reference<util::XNumberFormatsSupplier>(doc, UNO_QUERY_THROW)
                          ->getNumberFormats();
                const lang::Locale russian("ru", "RU", "");
                sal_Int32 key = formats->queryKey("DD.MM.YYYY", russian, false);
                if (key < 0)
                    key = formats->addNew("DD.MM.YYYY", russian);
                Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
                    ->setPropertyValue("NumberFormat", Any(key));
                cell->setValue(double(QDate(1899, 12, 30).daysTo(date)));
            }
        }
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral(
                      "Номер, дату и плательщика счёта не удалось записать в шаблон. Недописанный "
                      "счёт закрыт; повторите экспорт."),
                  failure);
        return false;
    }
    return true;
}

bool OfficeSession::writeNamedTexts(const OfficeDocument &document,
                                    const QVector<QPair<QString, QString>> &texts,
                                    OfficeFailure *failure)
{
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    try {
        for (const auto &named : texts) {
            const Reference<table::XCell> cell = namedCell(doc, named.first);
            if (!cell.is())
                continue;
            // Set as it stands, never read as a number or a formula; the cell keeps its format.
            if (named.second.isEmpty())
                cell->setFormula(rtl::OUString());
            else
                Reference<text::XText>(cell, UNO_QUERY_THROW)->setString(toOUString(named.second));
        }
    } catch (const uno::Exception &e) {
        d->failed(QStringLiteral("Реквизиты магазина не удалось записать в шаблон. Недописанный "
                                 "счёт закрыт; повторите экспорт."),
                  failure);
        return false;
    }
    return true;
}

bool OfficeSession::placePicture(const OfficeDocument &document, const QString &cellName,
                                 const QByteArray &png, int side, OfficeFailure *failure)
{
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    try {
        const Reference<table::XCell> cell = namedCell(doc, cellName);
        if (!cell.is())
            return true;
        const table::CellAddress address
            = Reference<sheet::XCellAddressable>(cell, UNO_QUERY_THROW)->getCellAddress();
        // The document's draw pages go sheet by sheet.
        const Reference<drawing::XDrawPage> page(
            Reference<drawing::XDrawPagesSupplier>(doc, UNO_QUERY_THROW)
                ->getDrawPages()
                ->getByIndex(address.Sheet),
            UNO_QUERY_THROW);

        // The picture is made inside the office from the bytes: no file to leave behind.
        const Reference<uno::XComponentContext> context = d->currentContext();
        const Sequence<sal_Int8> bytes(reinterpret_cast<const sal_Int8 *>(png.constData()),
                                       png.size());
        const beans::PropertyValue source = unoProperty(
            "InputStream", Any(io::SequenceInputStream::createStreamFromSequence(context, bytes)));
        const Reference<graphic::XGraphic> picture
            = graphic::GraphicProvider::create(context)->queryGraphic(
                Sequence<beans::PropertyValue>(&source, 1));

        const Reference<drawing::XShape> shape(
            Reference<lang::XMultiServiceFactory>(doc, UNO_QUERY_THROW)
                ->createInstance("com.sun.star.drawing.GraphicObjectShape"),
            UNO_QUERY_THROW);
        page->add(shape);
        const Reference<beans::XPropertySet> shapeProperties(shape, UNO_QUERY_THROW);
        shapeProperties->setPropertyValue("Graphic", Any(picture));
        shapeProperties->setPropertyValue("Name", Any(toOUString(cellName)));
        // Anchored to the cell it moves with the cell when the operator inserts rows above it.
        shapeProperties->setPropertyValue("Anchor", Any(cell));
        awt::Point corner;
        Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue("Position")
            >>= corner;
        shape->setPosition(corner);
        shape->setSize(awt::Size(side, side));
    } catch (const uno::Exception &e) {
        if (failure) {
            failure->message = QStringLiteral("QR-код для оплаты не удалось вставить в счёт.");
            failure->details = exceptionText(e);
        }
        return false;
    }
    return true;
}

void OfficeSession::show(const OfficeDocument &document, const QString &sheetName)
{
    // The invoice is written whether or not this succeeds.
    try {
        const Reference<frame::XModel> model(unoDocument(document), UNO_QUERY);
        if (!model.is())
            return;
        const Reference<frame::XController> controller = model->getCurrentController();
        const Reference<sheet::XSpreadsheetView> view(controller, UNO_QUERY);
        const Reference<sheet::XSpreadsheet> sheet = sheetOf(unoDocument(document), sheetName);
        if (view.is() && sheet.is())
            view->setActiveSheet(sheet);
        if (controller.is() && controller->getFrame().is()) {
            const Reference<awt::XWindow> window = controller->getFrame()->getContainerWindow();
            if (window.is())
                window->setVisible(true);
            const Reference<awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is())
                top->toFront();
        }
    } catch (const uno::Exception &) { }
}

void OfficeSession::discard(const OfficeDocument &document)
{
    {
        QMutexLocker lock(&d->mutex);
        if (d->lastDocument == document)
            d->lastDocument = OfficeDocument();
    }
    try {
        const Reference<util::XCloseable> closeable(unoDocument(document), UNO_QUERY);
        const Reference<lang::XComponent> component(unoDocument(document), UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else if (component.is())
            component->dispose();
    } catch (const uno::Exception &) { }
}

static int countDocuments(const Reference<frame::XDesktop2> &desktop, bool visibleOnly)
{
    const Reference<container::XEnumeration> all = desktop->getComponents()->createEnumeration();
    int count = 0;
    while (all->hasMoreElements()) {
        const Reference<frame::XModel> model(all->nextElement(), UNO_QUERY);
        if (!visibleOnly) {
            ++count;
            continue;
        }
        const Reference<frame::XController> controller
            = model.is() ? model->getCurrentController() : Reference<frame::XController>();
        const Reference<frame::XFrame> frame
            = controller.is() ? controller->getFrame() : Reference<frame::XFrame>();
        const Reference<awt::XWindow2> window(
            frame.is() ? frame->getContainerWindow() : Reference<awt::XWindow>(), UNO_QUERY);
        if (window.is() && window->isVisible())
            ++count;
    }
    return count;
}

int OfficeSession::openDocumentCount()
{
    const Reference<frame::XDesktop2> desktop = d->currentDesktop();
    try {
        return desktop.is() ? countDocuments(desktop, false) : -1;
    } catch (const uno::Exception &) {
        return -1;
    }
}

int OfficeSession::visibleDocumentCount()
{
    const Reference<frame::XDesktop2> desktop = d->currentDesktop();
    try {
        return desktop.is() ? countDocuments(desktop, true) : -1;
    } catch (const uno::Exception &) {
        return -1;
    }
}

void OfficeSession::endProcesses()
{
    for (const qint64 pid : processIds())
        ::kill(pid_t(pid), SIGKILL);
}

void OfficeSession::kill()
{
    QList<qint64> pids = processIds();
    const qint64 started = startedProcessId();
    if (started > 0 && !pids.contains(started) && ::kill(pid_t(started), 0) == 0)
        pids << started;
    for (const qint64 pid : qAsConst(pids))
        ::kill(pid_t(pid), SIGKILL);
    d->forget();
}

bool OfficeSession::terminate()
{
    const Reference<frame::XDesktop2> desktop = d->currentDesktop();
    if (!desktop.is())
        return true;
    bool done = false;
    try {
        done = desktop->terminate();
    } catch (const uno::Exception &) {
        // Terminating drops the bridge under our feet; the office goes all the same.
        done = true;
    }
    if (done)
        d->forget();
    return done;
}

void OfficeSession::setTestHook(std::function<void(const QString &point)> hook)
{
    QMutexLocker lock(&d->mutex);
    d->testHook = std::move(hook);
}

OfficeDocument OfficeSession::lastDocument() const
{
    QMutexLocker lock(&d->mutex);
    return d->lastDocument;
}
