// A document's invoice number taken as the document buttons take it, and waited for as a test
// may wait: the answer comes through the event loop once the journal's thread has it.
#pragma once

#include "app/mainwindow.h"
#include "app/order_storage.h"

#include <QTest>

#include <memory>

namespace document_number_detail {
struct Answer
{
    bool came = false;
    DocumentNumber number;
};

inline DocumentNumber waitFor(const std::shared_ptr<Answer> &answer, int msecs)
{
    if (!QTest::qWaitFor([&] { return answer->came; }, msecs))
        qWarning("no invoice number came within %d ms", msecs);
    return answer->number;
}
} // namespace document_number_detail

inline DocumentNumber numberNow(MainWindow *window, const QString &kind, int msecs = 10000)
{
    auto answer = std::make_shared<document_number_detail::Answer>();
    window->numberForDocument(kind, window, [answer](const DocumentNumber &number) {
        answer->number = number;
        answer->came = true;
    });
    return document_number_detail::waitFor(answer, msecs);
}

inline DocumentNumber numberNow(OrderKeeper *keeper, const QString &kind, int msecs = 10000)
{
    auto answer = std::make_shared<document_number_detail::Answer>();
    keeper->numberForDocument(kind, QString(), keeper, [answer](const DocumentNumber &number) {
        answer->number = number;
        answer->came = true;
    });
    return document_number_detail::waitFor(answer, msecs);
}
