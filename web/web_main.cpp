// printcalc-web --listen ADDRESS:PORT [--database URL] [--config FILE]: the quoting service.
#include "order/visible_text.h"
#include "prices/price_versions.h"
#include "storage/database_password.h"
#include "storage/database_url.h"
#include "storage/price_store.h"
#include "storage/settings.h"
#include "storage/settings_file.h"
#include "web/request_book.h"
#include "web/request_mail.h"
#include "web/web_service.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

QString option(const QStringList &arguments, const QString &name)
{
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == name && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arguments.at(i).startsWith(name + QLatin1Char('=')))
            return arguments.at(i).mid(name.size() + 1);
    }
    return QString();
}

bool splitListen(const QString &listen, QHostAddress *address, quint16 *port)
{
    const int colon = listen.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = listen.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint number = listen.mid(colon + 1).toUInt(&ok);
    *address
        = QHostAddress(host == QLatin1String("localhost") ? QStringLiteral("127.0.0.1") : host);
    *port = quint16(number);
    return ok && number <= 65535 && !address->isNull();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    err.setCodec("UTF-8");
    const QStringList arguments = app.arguments();
    const QString configPath = option(arguments, QStringLiteral("--config"));
    const QString settingsPath = configPath.isEmpty() ? Settings::defaultPath() : configPath;
    const SettingsFile file(settingsPath);
    if (!file.problem().isEmpty())
        err << "printcalc-web: " << file.problem() << '\n';
    WebSettings settings = WebSettings::read(file);
    const QString listen = option(arguments, QStringLiteral("--listen"));
    if (!listen.isEmpty())
        settings.listen = listen;
    QHostAddress address;
    quint16 port = 0;
    if (!splitListen(settings.listen, &address, &port)) {
        err << QStringLiteral(
            "printcalc-web: укажите --listen АДРЕС:ПОРТ (например 127.0.0.1:8080)\n");
        return 2;
    }
    movePasswordOutOfSettings(settingsPath);
    const DatabaseChoice choice = chooseDatabase(arguments, Settings(settingsPath));
    if (!choice.url.isValid()) {
        err << "printcalc-web: " << choice.url.error << '\n';
        return 2;
    }

    // Room for the connections' cap whatever soft limit the shell gave.
    rlimit files {};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < 8192 + 128) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 8192 + 128);
        setrlimit(RLIMIT_NOFILE, &files);
    }
    WebService service(settings);
    PriceLink link(choice.url, localOrderPath(choice.url), PriceBook::shared());
    RequestBook requests(choice.url);
    if (settings.mailSetUp)
        requests.setMail([settings](qint64 number, const WebRequestRecord &request) {
            return requestAcknowledgement(number, request, settings);
        });
    service.setRequestTaker([&requests](const WebRequest &request, RequestDone done) {
        requests.take(request, [done](qint64 number, const QString &error) {
            if (number == 0)
                qWarning("printcalc-web: заявка не сохранена: %s",
                         qUtf8Printable(visibleText(error)));
            done(number, error);
        });
    });
    // /healthz tells within 2 s that the shop's database went away, froze or came back: checked
    // every second, and a check that has not answered for 1.9 s counts as no answer.
    link.setCheckInterval(1000);
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    QObject::connect(&link, &PriceLink::shopChecked, &app,
                     [&service, &sinceAnswer](const QString &problem) {
                         sinceAnswer.restart();
                         service.setDatabaseAnswers(problem.isEmpty());
                     });
    QTimer stale;
    QObject::connect(&stale, &QTimer::timeout, &app, [&service, &sinceAnswer] {
        if (sinceAnswer.elapsed() > 1900)
            service.setDatabaseAnswers(false);
    });
    stale.start(100);
    // The service itself switches at midnight; it hears of every version the shop loads.
    const auto follow = [&service] { service.setVersions(PriceBook::shared().list().versions()); };
    follow();
    QObject::connect(&PriceBook::shared(), &PriceBook::changed, &app, follow);

    QString error;
    if (!service.start(address, port, &error)) {
        err << "printcalc-web: " << error << '\n';
        return 1;
    }
    err << QStringLiteral("printcalc-web: слушает ") << address.toString() << ':' << service.port()
        << '\n';
    err.flush();

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    const int code = app.exec();
    // What waits is refused at once; a request being committed gets its own answer (the server
    // holds it to its time), then the service closes: within 10 s whatever the database does.
    requests.refuseWaiting();
    const bool stored = requests.finish(3000);
    service.stop();
    const bool checked = link.finish(1500);
    // A server that holds a thread (frozen, unreachable) would hold the exit too.
    if (!stored || !checked) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
