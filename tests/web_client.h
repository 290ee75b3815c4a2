// A bare HTTP/1.1 client over a blocking socket, for the service's tests and nothing else: it sends
// exactly the bytes given, so malformed, partial and slow requests can be made.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace web {

struct Reply
{
    int status = 0; // 0: no answer
    QByteArray headers;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    QString error() const { return json().value(QStringLiteral("error")).toString(); }
};

// From 127.0.0.1, or from another loopback address (127.0.0.2…) standing for another client.
inline int connectTo(quint16 port, quint32 from = INADDR_LOOPBACK)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (from != INADDR_LOOPBACK) {
        sockaddr_in source {};
        source.sin_family = AF_INET;
        source.sin_addr.s_addr = htonl(from);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&source), sizeof source) != 0) {
            ::close(fd);
            return -1;
        }
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendAll(int fd, const QByteArray &bytes)
{
    qint64 sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n
            = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// Reads until the server closes or the answer is complete by its Content-Length.
inline Reply readReply(int fd, int msecs = 5000)
{
    QByteArray data;
    QElapsedTimer timer;
    timer.start();
    Reply reply;
    while (timer.elapsed() < msecs) {
        pollfd item {fd, POLLIN, 0};
        if (::poll(&item, 1, 50) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, int(n));
        const int end = data.indexOf("\r\n\r\n");
        if (end < 0)
            continue;
        const QByteArray head = data.left(end);
        const int at = head.toLower().indexOf("content-length:");
        if (at >= 0) {
            const qint64 length
                = head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            if (data.size() - end - 4 >= length)
                break;
        }
    }
    const int end = data.indexOf("\r\n\r\n");
    if (data.startsWith("HTTP/1.") && end > 0) {
        reply.status = data.mid(9, 3).toInt();
        reply.headers = data.left(end);
        reply.body = data.mid(end + 4);
    }
    return reply;
}

inline QByteArray request(const QByteArray &method, const QByteArray &path, const QByteArray &body,
                          const QByteArray &extraHeaders = QByteArray())
{
    QByteArray raw = method + ' ' + path + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
        + extraHeaders;
    if (method == "POST")
        raw += "Content-Type: application/json\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n";
    return raw + "\r\n" + body;
}

inline Reply exchange(quint16 port, const QByteArray &raw, int msecs = 5000,
                      quint32 from = INADDR_LOOPBACK)
{
    const int fd = connectTo(port, from);
    if (fd < 0)
        return {};
    Reply reply;
    if (sendAll(fd, raw))
        reply = readReply(fd, msecs);
    ::close(fd);
    return reply;
}

inline Reply post(quint16 port, const QByteArray &path, const QByteArray &body,
                  const QByteArray &extraHeaders = QByteArray())
{
    return exchange(port, request("POST", path, body, extraHeaders));
}

inline Reply get(quint16 port, const QByteArray &path,
                 const QByteArray &extraHeaders = QByteArray())
{
    return exchange(port, request("GET", path, QByteArray(), extraHeaders));
}

} // namespace web
