// Inside the office library only: what its .cpp files share about UNO. No header outside office/
// includes this one, so the UNO headers and defines reach no other target.
#pragma once

#include "office/office_session.h"

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace css = com::sun::star;

inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

inline QString toQString(const rtl::OUString &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.getStr()), text.getLength());
}

inline css::beans::PropertyValue unoProperty(const char *name, const css::uno::Any &value)
{
    css::beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

// The office's own words, kept for the "Подробнее" part of a message.
inline QString exceptionText(const css::uno::Exception &error)
{
    const QString text = toQString(error.Message).trimmed();
    return text.isEmpty() ? QStringLiteral("(no text)") : text;
}

struct OfficeDocument::Data
{
    css::uno::Reference<css::sheet::XSpreadsheetDocument> document;
    QString templatePath; // for the messages
};

inline css::uno::Reference<css::sheet::XSpreadsheetDocument>
unoDocument(const OfficeDocument &document)
{
    return document.isNull() ? css::uno::Reference<css::sheet::XSpreadsheetDocument>()
                             : document.data()->document;
}

struct OfficeSessionAccess
{
    // The session's desktop, null while it is not connected (office/office_session.cpp).
    static css::uno::Reference<css::frame::XDesktop2> desktop(OfficeSession &session);
    // The office's component context, null while it is not connected.
    static css::uno::Reference<css::uno::XComponentContext> context(OfficeSession &session);
};

// Holds the document's views still while many cells change, and lets them go on every way out.
class ControllerLock
{
public:
    explicit ControllerLock(const css::uno::Reference<css::frame::XModel> &model)
        : m_model(model)
    {
        if (m_model.is())
            m_model->lockControllers();
    }
    ~ControllerLock()
    {
        try {
            if (m_model.is() && m_model->hasControllersLocked())
                m_model->unlockControllers();
        } catch (const css::uno::Exception &) {
            // The office went away: nothing is left to unlock.
        }
    }
    ControllerLock(const ControllerLock &) = delete;
    ControllerLock &operator=(const ControllerLock &) = delete;

private:
    css::uno::Reference<css::frame::XModel> m_model;
};
