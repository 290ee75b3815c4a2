// Reading exported cells back and making test templates through the office.
#include "office/office_testkit.h"

#include "office/export_request.h"
#include "office/uno_support.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/XEventsSupplier.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/CellProtection.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace officetest {

static const QString &InvoiceSheet = invoice::sheetName();

static Reference<sheet::XSpreadsheet> sheetOf(const Reference<sheet::XSpreadsheetDocument> &doc,
                                              const QString &name)
{
    const Reference<container::XNameAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
    return Reference<sheet::XSpreadsheet>(sheets->getByName(toOUString(name)), UNO_QUERY_THROW);
}

static Reference<table::XCell> unoCell(const OfficeDocument &document, const char *name,
                                       const QString &sheet = QString())
{
    return sheetOf(unoDocument(document), sheet.isEmpty() ? InvoiceSheet : sheet)
        ->getCellRangeByName(rtl::OUString::createFromAscii(name))
        ->getCellByPosition(0, 0);
}

static Reference<container::XIndexAccess> drawPageOf(const OfficeDocument &document,
                                                     const QString &sheet)
{
    const Reference<sheet::XSpreadsheetDocument> doc = unoDocument(document);
    const Reference<sheet::XCellRangeAddressable> addressable(
        sheetOf(doc, sheet.isEmpty() ? InvoiceSheet : sheet), UNO_QUERY_THROW);
    return Reference<container::XIndexAccess>(
        Reference<drawing::XDrawPagesSupplier>(doc, UNO_QUERY_THROW)
            ->getDrawPages()
            ->getByIndex(addressable->getRangeAddress().Sheet),
        UNO_QUERY_THROW);
}

QVector<Picture> pictures(const OfficeDocument &document, const QString &sheet)
{
    QVector<Picture> found;
    const Reference<container::XIndexAccess> page = drawPageOf(document, sheet);
    for (sal_Int32 i = 0; i < page->getCount(); ++i) {
        const Reference<drawing::XShape> shape(page->getByIndex(i), UNO_QUERY_THROW);
        const Reference<beans::XPropertySet> properties(shape, UNO_QUERY_THROW);
        Picture picture;
        rtl::OUString name;
        properties->getPropertyValue("Name") >>= name;
        picture.name = toQString(name);
        const Reference<sheet::XCellAddressable> anchor(properties->getPropertyValue("Anchor"),
                                                        UNO_QUERY);
        if (anchor.is()) {
            const table::CellAddress at = anchor->getCellAddress();
            picture.anchorCell = cellName(at.Row + 1, at.Column);
        }
        const awt::Size size = shape->getSize();
        picture.width = size.Width;
        picture.height = size.Height;
        found.append(picture);
    }
    return found;
}

bool savePicture(OfficeSession &session, const OfficeDocument &document, int index,
                 const QString &path, QString *error)
{
    try {
        const Reference<beans::XPropertySet> shape(
            drawPageOf(document, QString())->getByIndex(index), UNO_QUERY_THROW);
        const Reference<graphic::XGraphic> graphic(shape->getPropertyValue("Graphic"),
                                                   UNO_QUERY_THROW);
        const beans::PropertyValue target[] = {
            unoProperty("URL", Any(toOUString(QUrl::fromLocalFile(path).toString()))),
            unoProperty("MimeType", Any(rtl::OUString("image/png"))),
        };
        graphic::GraphicProvider::create(OfficeSessionAccess::context(session))
            ->storeGraphic(graphic, Sequence<beans::PropertyValue>(target, 2));
    } catch (const uno::Exception &e) {
        *error = exceptionText(e);
        return false;
    }
    return QFile::exists(path);
}

Cell cell(const OfficeDocument &document, const char *name, const QString &sheet)
{
    const Reference<table::XCell> source = unoCell(document, name, sheet);
    const Reference<beans::XPropertySet> properties(source, UNO_QUERY_THROW);
    Cell result;
    switch (source->getType()) {
    case table::CellContentType_VALUE:
        result.kind = Cell::Value;
        break;
    case table::CellContentType_TEXT:
        result.kind = Cell::Text;
        break;
    case table::CellContentType_FORMULA:
        result.kind = Cell::Formula;
        break;
    default:
        result.kind = Cell::Empty;
    }
    result.text = toQString(Reference<text::XText>(source, UNO_QUERY_THROW)->getString());
    result.value = source->getValue();
    result.formula = toQString(source->getFormula());
    const Reference<table::XColumnRowRange> range(source, UNO_QUERY);
    const Reference<beans::XPropertySet> rows(
        range.is() ? range->getRows() : Reference<table::XTableRows>(), UNO_QUERY);
    if (rows.is())
        rows->getPropertyValue("Height") >>= result.rowHeight;
    properties->getPropertyValue("IsTextWrapped") >>= result.wrapped;
    table::CellHoriJustify hori = table::CellHoriJustify_STANDARD;
    properties->getPropertyValue("HoriJustify") >>= hori;
    sal_Int32 vert = 0;
    properties->getPropertyValue("VertJustify") >>= vert;
    result.centred
        = hori == table::CellHoriJustify_CENTER && vert == table::CellVertJustify2::CENTER;
    result.leftAligned = hori == table::CellHoriJustify_STANDARD;
    for (const char *edge : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"}) {
        table::BorderLine2 line;
        properties->getPropertyValue(rtl::OUString::createFromAscii(edge)) >>= line;
        if (line.LineWidth != 0 || line.OuterLineWidth != 0)
            ++result.borderEdges;
    }
    properties->getPropertyValue("NumberFormat") >>= result.numberFormat;
    return result;
}

void setCellValue(const OfficeDocument &document, const char *name, double value)
{
    unoCell(document, name)->setValue(value);
}

QString documentUrl(const OfficeDocument &document)
{
    return toQString(Reference<frame::XModel>(unoDocument(document), UNO_QUERY_THROW)->getURL());
}

bool isVisible(const OfficeDocument &document)
{
    try {
        const Reference<frame::XModel> model(unoDocument(document), UNO_QUERY_THROW);
        const Reference<awt::XWindow2> window(
            model->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW);
        return window->isVisible();
    } catch (const uno::Exception &) {
        return false;
    }
}

QString formatCode(const OfficeDocument &document, const char *name)
{
    const Cell read = cell(document, name);
    const Reference<util::XNumberFormats> formats
        = Reference<util::XNumberFormatsSupplier>(unoDocument(document), UNO_QUERY_THROW)
              ->getNumberFormats();
    rtl::OUString code;
    formats->getByKey(read.numberFormat)->getPropertyValue("FormatString") >>= code;
    return toQString(code);
}

static Sequence<beans::PropertyValue> properties(std::initializer_list<beans::PropertyValue> list)
{
    return Sequence<beans::PropertyValue>(list.begin(), sal_Int32(list.size()));
}

static rtl::OUString urlOf(const QString &path)
{
    return toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

static void addMacro(const Reference<sheet::XSpreadsheetDocument> &doc)
{
    const Reference<beans::XPropertySet> documentProperties(doc, UNO_QUERY_THROW);
    const Reference<script::XLibraryContainer> libraries(
        documentProperties->getPropertyValue("BasicLibraries"), UNO_QUERY_THROW);
    if (!libraries->hasByName("Standard"))
        libraries->createLibrary("Standard");
    const Reference<container::XNameContainer> library(libraries->getByName("Standard"),
                                                       UNO_QUERY_THROW);
    const QString code
        = QStringLiteral("Sub Mark(event)\n"
                         "  event.Source.Sheets.getByName(\"Лист1\").getCellRangeByName(\"H1\")"
                         ".setString(\"macro ran\")\n"
                         "End Sub\n");
    library->insertByName("Marker", Any(toOUString(code)));
    const Reference<container::XNameReplace> events
        = Reference<document::XEventsSupplier>(doc, UNO_QUERY_THROW)->getEvents();
    const Sequence<beans::PropertyValue> binding = properties(
        {unoProperty("EventType", Any(rtl::OUString("Script"))),
         unoProperty("Script",
                     Any(rtl::OUString("vnd.sun.star.script:Standard.Marker.Mark?language=Basic"
                                       "&location=document")))});
    for (const char *event : {"OnNew", "OnLoad"})
        events->replaceByName(rtl::OUString::createFromAscii(event), Any(binding));
}

bool makeTemplate(OfficeSession &session, const QString &source, const QString &target,
                  Change change, QString *error)
{
    const Reference<frame::XDesktop2> desktop = OfficeSessionAccess::desktop(session);
    if (!desktop.is()) {
        *error = QStringLiteral("the office is not reached");
        return false;
    }
    Reference<lang::XComponent> component;
    try {
        component = desktop->loadComponentFromURL(urlOf(source), "_blank", 0,
                                                  properties({unoProperty("Hidden", Any(true))}));
        const Reference<sheet::XSpreadsheetDocument> doc(component, UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> sheet = sheetOf(doc, InvoiceSheet);
        switch (change) {
        case Change::RenameSheet:
            Reference<container::XNamed>(sheet, UNO_QUERY_THROW)
                ->setName(toOUString(QStringLiteral("Данные")));
            break;
        case Change::ProtectAllButFirstRows: {
            util::CellProtection open;
            open.IsLocked = false;
            Reference<beans::XPropertySet>(sheet->getCellRangeByName("A1:Z20"), UNO_QUERY_THROW)
                ->setPropertyValue("CellProtection", Any(open));
            Reference<util::XProtectable>(sheet, UNO_QUERY_THROW)->protect("");
            break;
        }
        case Change::ProtectSheet:
            Reference<util::XProtectable>(sheet, UNO_QUERY_THROW)->protect("");
            break;
        case Change::TextBelow:
            Reference<text::XText>(sheet->getCellRangeByName("C20")->getCellByPosition(0, 0),
                                   UNO_QUERY_THROW)
                ->setString(toOUString(QStringLiteral("Доставка")));
            break;
        case Change::FormulaBelow:
            sheet->getCellRangeByName("F25")->getCellByPosition(0, 0)->setFormula("=1+1");
            break;
        case Change::MergedBelow:
            Reference<util::XMergeable>(sheet->getCellRangeByName("C18:D18"), UNO_QUERY_THROW)
                ->merge(true);
            break;
        case Change::DropNames: {
            const Reference<sheet::XNamedRanges> names(
                Reference<beans::XPropertySet>(doc, UNO_QUERY_THROW)
                    ->getPropertyValue("NamedRanges"),
                UNO_QUERY_THROW);
            for (const QString &name : {QStringLiteral("НомерСчёта"), QStringLiteral("ДатаСчёта")})
                if (names->hasByName(toOUString(name)))
                    names->removeByName(toOUString(name));
            break;
        }
        case Change::DropShopNames: {
            const Reference<sheet::XNamedRanges> names(
                Reference<beans::XPropertySet>(doc, UNO_QUERY_THROW)
                    ->getPropertyValue("NamedRanges"),
                UNO_QUERY_THROW);
            for (const QString &name : invoice::shopCellNames())
                if (names->hasByName(toOUString(name)))
                    names->removeByName(toOUString(name));
            break;
        }
        case Change::Macro:
            addMacro(doc);
            break;
        }
        const bool ods = target.endsWith(QLatin1String(".ods"));
        const rtl::OUString filter
            = ods ? rtl::OUString("calc8") : rtl::OUString("Calc MS Excel 2007 XML");
        Reference<frame::XStorable>(component, UNO_QUERY_THROW)
            ->storeToURL(urlOf(target), properties({unoProperty("FilterName", Any(filter))}));
    } catch (const uno::Exception &e) {
        *error = exceptionText(e);
    }
    session.discard(OfficeDocument(std::make_shared<OfficeDocument::Data>(
        OfficeDocument::Data {Reference<sheet::XSpreadsheetDocument>(component, UNO_QUERY)})));
    return error->isEmpty();
}

bool typeIntoFile(OfficeSession &session, const QString &path, const char *cellName, double value,
                  QString *error)
{
    const Reference<frame::XDesktop2> desktop = OfficeSessionAccess::desktop(session);
    if (!desktop.is()) {
        *error = QStringLiteral("the office is not reached");
        return false;
    }
    error->clear();
    Reference<lang::XComponent> component;
    try {
        component = desktop->loadComponentFromURL(urlOf(path), "_blank", 0,
                                                  properties({unoProperty("Hidden", Any(true))}));
        const Reference<sheet::XSpreadsheetDocument> doc(component, UNO_QUERY_THROW);
        const Reference<container::XIndexAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> first(sheets->getByIndex(0), UNO_QUERY_THROW);
        first->getCellRangeByName(rtl::OUString::createFromAscii(cellName))
            ->getCellByPosition(0, 0)
            ->setValue(value);
        // Saved in its own format, without the keep-format question a person would answer.
        Reference<frame::XStorable>(component, UNO_QUERY_THROW)->store();
    } catch (const uno::Exception &e) {
        *error = exceptionText(e);
    }
    session.discard(OfficeDocument(std::make_shared<OfficeDocument::Data>(
        OfficeDocument::Data {Reference<sheet::XSpreadsheetDocument>(component, UNO_QUERY)})));
    return error->isEmpty();
}

OfficeDocument openWithMacros(OfficeSession &session, const QString &path)
{
    const Reference<frame::XDesktop2> desktop = OfficeSessionAccess::desktop(session);
    const Reference<lang::XComponent> component = desktop->loadComponentFromURL(
        urlOf(path), "_blank", 0,
        properties({unoProperty("Hidden", Any(false)), unoProperty("AsTemplate", Any(true)),
                    unoProperty("MacroExecutionMode",
                                Any(sal_Int16(document::MacroExecMode::ALWAYS_EXECUTE_NO_WARN)))}));
    return OfficeDocument(std::make_shared<OfficeDocument::Data>(
        OfficeDocument::Data {Reference<sheet::XSpreadsheetDocument>(component, UNO_QUERY)}));
}

void writeCellByCell(const OfficeDocument &document, const QVector<InvoiceBlock> &blocks)
{
    const Reference<sheet::XSpreadsheet> sheet = sheetOf(unoDocument(document), InvoiceSheet);
    table::BorderLine2 line;
    line.LineStyle = table::BorderLineStyle::SOLID;
    line.OuterLineWidth = 26;
    line.LineWidth = 26;
    for (const InvoiceBlock &block : blocks)
        for (int r = 0; r < block.rowCount(); ++r)
            for (int c = 0; c < block.columnCount(); ++c) {
                const InvoiceCell &value = block.rows.at(r).at(c);
                const QString name = cellName(block.top + r, block.left + c);
                const Reference<table::XCellRange> range
                    = sheet->getCellRangeByName(toOUString(name + QLatin1Char(':') + name));
                const Reference<table::XCell> target = range->getCellByPosition(0, 0);
                if (value.kind == InvoiceCell::Number)
                    target->setValue(value.number);
                else if (value.kind == InvoiceCell::Formula)
                    target->setFormula(toOUString(value.text));
                else
                    Reference<text::XText>(target, UNO_QUERY_THROW)
                        ->setString(toOUString(value.text));
                const Reference<beans::XPropertySet> properties(range, UNO_QUERY_THROW);
                properties->setPropertyValue("IsTextWrapped", Any(block.framed));
                if (!block.framed)
                    continue;
                properties->setPropertyValue("HoriJustify", Any(table::CellHoriJustify_CENTER));
                properties->setPropertyValue("VertJustify",
                                             Any(sal_Int32(table::CellVertJustify2::CENTER)));
                for (const char *edge : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"})
                    properties->setPropertyValue(rtl::OUString::createFromAscii(edge), Any(line));
            }
}

bool processRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) S ...": the name may hold spaces and brackets, the state follows the last ')'.
    const QByteArray stat = file.readAll();
    const int close = stat.lastIndexOf(')');
    if (close < 0 || close + 2 >= stat.size())
        return false;
    const char state = stat.at(close + 2);
    return state != 'Z' && state != 'X';
}

// The node at the path, read-only, from the running office's configuration.
static Reference<container::XNameAccess> configurationNode(OfficeSession &session,
                                                           const QString &path)
{
    const Reference<uno::XComponentContext> context = OfficeSessionAccess::context(session);
    if (!context.is())
        return {};
    const Reference<lang::XMultiServiceFactory> provider
        = configuration::theDefaultProvider::get(context);
    beans::NamedValue where;
    where.Name = "nodepath";
    where.Value <<= toOUString(path);
    const Any argument(where);
    return Reference<container::XNameAccess>(
        provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationAccess",
                                              Sequence<Any>(&argument, 1)),
        UNO_QUERY);
}

QString configurationValue(OfficeSession &session, const QString &path, const QString &name,
                           QString *error)
{
    try {
        const Reference<container::XNameAccess> node = configurationNode(session, path);
        if (!node.is()) {
            if (error)
                *error = QStringLiteral("the office is not reached");
            return QString();
        }
        const Any value = node->getByName(toOUString(name));
        rtl::OUString text;
        bool flag = false;
        if (value >>= text)
            return toQString(text);
        if (value >>= flag)
            return flag ? QStringLiteral("true") : QStringLiteral("false");
        if (error)
            *error = QStringLiteral("%1/%2 is of type %3")
                         .arg(path, name, toQString(value.getValueTypeName()));
    } catch (const uno::Exception &e) {
        if (error)
            *error = exceptionText(e);
    }
    return QString();
}

bool configurationHas(OfficeSession &session, const QString &path, const QString &name)
{
    try {
        const Reference<container::XNameAccess> node = configurationNode(session, path);
        return node.is() && node->hasByName(toOUString(name));
    } catch (const uno::Exception &) {
        return false;
    }
}

QStringList prepareProfile(const QString &folder, bool headless)
{
    QDir(folder).mkpath(QStringLiteral("user"));
    QFile settings(folder + QStringLiteral("/user/registrymodifications.xcu"));
    if (settings.open(QIODevice::WriteOnly)) {
        settings.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
            "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
            "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\">"
            "<prop oor:name=\"MacroSecurityLevel\" oor:op=\"fuse\"><value>0</value></prop></item>\n"
            "<item oor:path=\"/org.openoffice.Office.Common/Misc\">"
            "<prop oor:name=\"ShowTipOfTheDay\" "
            "oor:op=\"fuse\"><value>false</value></prop></item>\n"
            "<item oor:path=\"/org.openoffice.Setup/Product\">"
            "<prop oor:name=\"LastTimeDonateShown\" "
            "oor:op=\"fuse\"><value>2</value></prop></item>\n"
            "</oor:items>\n");
    }
    QStringList arguments {QStringLiteral("-env:UserInstallation=")
                           + QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded)};
    arguments << (headless ? QStringLiteral("--headless") : QStringLiteral("--invisible"));
    return arguments;
}

} // namespace officetest
