// "Справка" and F1: the guide the build rendered (guide/CMakeLists.txt) or the package installed.
#include "app/guide_opener.h"

#include "dialogs/prompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>
#include <QUrl>

namespace {
const QString Title = QStringLiteral("Справка");
}

GuideOpener::GuideOpener(QWidget *window, Prompts &prompts)
    : QObject(window)
    , openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
    , prompts(prompts)
{
    setObjectName(QStringLiteral("guideOpener"));
    // Flat, as the status bar's own texts.
    guideButton = new QToolButton;
    guideButton->setText(QStringLiteral("Справка (F1)"));
    guideButton->setAutoRaise(true);
    guideButton->setObjectName(QStringLiteral("toolButtonGuide"));
    guideButton->setToolTip(QStringLiteral("Руководство для работы за стойкой"));
    connect(guideButton, &QToolButton::clicked, this, &GuideOpener::open);

    auto *key = new QAction(window);
    key->setObjectName(QStringLiteral("actionGuide"));
    key->setShortcut(Qt::Key_F1);
    key->setShortcutContext(Qt::WindowShortcut);
    window->addAction(key);
    connect(key, &QAction::triggered, this, &GuideOpener::open);
}

QStringList GuideOpener::places()
{
    // Relative to the program, so that /usr and /usr/local, and a package unpacked for its test,
    // find their own copy.
    return {QDir::cleanPath(QCoreApplication::applicationDirPath()
                            + QStringLiteral("/../share/printcalc/guide/index.html")),
            QStringLiteral(PRINTCALC_BUILD_GUIDE)};
}

void GuideOpener::open()
{
    for (const QString &place : qAsConst(lookIn)) {
        if (!QFileInfo(place).isFile())
            continue;
        if (!openUrl(QUrl::fromLocalFile(place)))
            prompts.tell(Title,
                         QStringLiteral("Не удалось открыть справку в браузере. Откройте файл "
                                        "сами: %1")
                             .arg(QDir::toNativeSeparators(place)));
        return;
    }
    prompts.tell(Title,
                 QStringLiteral("Справка не найдена. Она ставится вместе с программой в %1; "
                                "переустановите пакет printcalc или попросите администратора.")
                     .arg(QDir::toNativeSeparators(lookIn.value(0))));
}
