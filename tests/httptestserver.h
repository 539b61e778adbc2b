#pragma once

// An HTTP server of the test's own on loopback, for the lobby download.
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>

// Answers every request with what `answer` makes of it, sent in pieces as the client reads.
class HttpTestServer {
public:
    std::function<void(QTcpSocket*, const QByteArray& request)> answer;
    QByteArray lastRequest;

    HttpTestServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            QTcpSocket* client = server_.nextPendingConnection();
            auto request = std::make_shared<QByteArray>();
            QObject::connect(client, &QTcpSocket::readyRead, client, [this, client, request] {
                *request += client->readAll();
                if (request->contains("\r\n\r\n")) {
                    lastRequest = *request;
                    answer(client, *request);
                }
            });
        });
    }
    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QLatin1String(path));
    }

private:
    QTcpServer server_;
};

inline void reply(QTcpSocket* client, const QByteArray& bytes, bool close = true)
{
    client->write(bytes);
    client->flush();
    if (close)
        client->disconnectFromHost();
}
