#include "httpcli.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QIODevice>
#include <QTcpSocket>
#include <QUrl>

namespace {

const QString kAborted = QStringLiteral("Connection aborted on request");
constexpr qsizetype kMaxHeaderBytes = qsizetype{64} * 1024; // a server that never ends its headers is broken

} // namespace

HttpCli::HttpCli(QObject* parent) : QObject(parent)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &HttpCli::Abort);
}

HttpCli::~HttpCli() = default;

void HttpCli::Abort()
{
    aborted_ = true;
    if (socket_ != nullptr)
        socket_->abort();
}

void HttpCli::Get(QIODevice* document)
{
    aborted_ = false;
    status_ = 0;
    QString url = URL;
    for (int redirects = 0;; ++redirects) {
        QString next;
        if (fetch(url, document, next) == Outcome::Done)
            return;
        if (redirects == kMaxRedirects)
            throw HttpError(status_, QStringLiteral("Too many redirections"));
        url = QUrl(url).resolved(QUrl(next)).toString();
    }
}

HttpCli::Outcome HttpCli::fetch(const QString& url, QIODevice* document, QString& redirect)
{
    const QUrl address(url);
    if (!address.isValid() || address.scheme() != QLatin1String("http") || address.host().isEmpty())
        throw HttpError(0, QStringLiteral("Not an HTTP address: ") + url);

    QTcpSocket socket;
    socket_ = &socket;
    struct Release {
        QTcpSocket*& socket;
        ~Release() { socket = nullptr; }
    } release{socket_};

    QEventLoop loop;
    QByteArray pending;
    bool headersDone = false;
    bool firstLine = true;
    qint64 received = 0;
    qint64 announced = -1; // the Content-Length, when the server gives one
    QString failure;
    QString reason; // of the status line
    bool ended = false;
    const auto finish = [&loop, &ended] {
        ended = true;
        loop.quit();
    };

    const auto takeBytes = [&] {
        pending += socket.readAll();
        while (!headersDone) {
            const qsizetype end = pending.indexOf('\n');
            if (end < 0) {
                if (pending.size() > kMaxHeaderBytes) {
                    failure = QStringLiteral("The server's answer has no end to its headers");
                    socket.abort();
                }
                return;
            }
            QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (firstLine) {
                firstLine = false;
                const QList<QByteArray> parts = line.split(' ');
                status_ = parts.value(1).toInt();
                reason = QString::fromLatin1(parts.mid(2).join(' '));
                if (!line.startsWith("HTTP/") || status_ < 100) {
                    failure = QStringLiteral("Not an HTTP answer");
                    socket.abort();
                    return;
                }
            } else if (line.isEmpty()) {
                headersDone = true;
                if (status_ >= 400 || (status_ >= 300 && !redirect.isEmpty())) {
                    socket.abort();
                    return;
                }
                if (OnDocBegin)
                    OnDocBegin();
            } else if (line.toLower().startsWith("location:")) {
                redirect = QString::fromLatin1(line.mid(9).trimmed());
            } else if (line.toLower().startsWith("content-length:")) {
                bool valid = false;
                const qint64 length = line.mid(15).trimmed().toLongLong(&valid);
                announced = valid && length >= 0 ? length : -1;
            }
            if (!line.isEmpty() && OnHeaderData)
                OnHeaderData(line);
        }
        if (!pending.isEmpty()) {
            if (document->write(pending) != pending.size()) {
                failure = QStringLiteral("Could not write the document");
                socket.abort();
                return;
            }
            received += pending.size();
            pending.clear();
            if (OnDocData)
                OnDocData(received);
        }
    };
    connect(&socket, &QTcpSocket::connected, &loop, [&] {
        const QByteArray path =
            address.path(QUrl::FullyEncoded).isEmpty()
                ? QByteArray("/")
                : address.path(QUrl::FullyEncoded).toLatin1() +
                      (address.hasQuery() ? "?" + address.query(QUrl::FullyEncoded).toLatin1() : "");
        socket.write("GET " + path + " HTTP/1.0\r\nHost: " + address.host().toLatin1() +
                     (address.port() > 0 ? ":" + QByteArray::number(address.port()) : QByteArray()) +
                     "\r\nUser-Agent: " + UserAgent + "\r\nAccept: " + Accept + "\r\n\r\n");
    });
    connect(&socket, &QTcpSocket::readyRead, &loop, takeBytes);
    connect(&socket, &QTcpSocket::disconnected, &loop, finish);
    connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError && failure.isEmpty())
            failure = socket.errorString();
        finish();
    });
    socket.connectToHost(address.host(), static_cast<quint16>(address.port(80)));
    if (!aborted_)
        loop.exec();
    // A program that quits ends every event loop, this one included, mid-transfer.
    if (!ended)
        Abort();

    if (aborted_)
        throw HttpError(404, kAborted);
    if (!failure.isEmpty())
        throw HttpError(status_, failure);
    if (!headersDone)
        throw HttpError(status_, QStringLiteral("The answer ended before its document"));
    if (status_ >= 400)
        throw HttpError(status_, reason);
    // An HTTP/1.0 document ends when the connection does, so a dropped connection looks like
    // the end of it; a length announced beforehand tells the two apart.
    if (announced >= 0 && received < announced && status_ < 300)
        throw HttpError(
            status_, QStringLiteral("The document ended after %1 of %2 bytes").arg(received).arg(announced));
    if (status_ >= 300 && !redirect.isEmpty())
        return Outcome::Redirect;
    return Outcome::Done;
}
