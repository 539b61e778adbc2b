// The HTTP/1.0 client against a server of the test's own on loopback.
#include "httpcli.h"
#include "httptestserver.h"

#include <QBuffer>
#include <QTcpServer>
#include <QTest>

namespace {

// Runs a get that must fail; returns its error (status -1 if it did not fail) and what was saved.
std::pair<HttpError, QByteArray> failedGet(HttpCli& http)
{
    QByteArray saved;
    QBuffer file(&saved);
    file.open(QIODevice::WriteOnly);
    try {
        http.Get(&file);
    } catch (const HttpError& e) {
        return {e, saved};
    }
    return {HttpError(-1, QStringLiteral("no failure")), saved};
}

QByteArray body(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

} // namespace

class TestHttpCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void downloadsWithItsEvents();
    void errorStatusFails();
    void abortEndsTheGet();
    void truncatedDocumentFails();
    void redirectsAreFollowed();
    void unreachableHostFails();
    // Last: a quitting application leaves no event loop of this thread running again.
    void quittingProgramAbortsTheGet();
};

void TestHttpCli::downloadsWithItsEvents()
{
    HttpTestServer server;
    const QByteArray document = body(200000);
    server.answer = [&document](QTcpSocket* client, const QByteArray&) {
        reply(client,
              "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 200000\r\n\r\n" +
                  document);
    };
    HttpCli http;
    http.URL = server.url("/lobby/vrlsetup.exe");
    QStringList events;
    qint64 lastCount = 0;
    http.OnHeaderData = [&events](const QByteArray& line) { events << QString::fromLatin1(line); };
    http.OnDocBegin = [&events] { events << QStringLiteral("begin"); };
    http.OnDocData = [&lastCount](qint64 received) { lastCount = received; };
    QByteArray saved;
    QBuffer file(&saved);
    file.open(QIODevice::WriteOnly);
    http.Get(&file);
    QCOMPARE(saved.size(), document.size());
    QVERIFY(saved == document);
    QCOMPARE(lastCount, document.size());
    QCOMPARE(events, (QStringList{"HTTP/1.0 200 OK", "Content-Type: application/octet-stream",
                                  "Content-Length: 200000", "begin"}));
    QCOMPARE(http.StatusCode(), 200);
    const QList<QByteArray> request = server.lastRequest.split('\n');
    QCOMPARE(request.value(0), QByteArray("GET /lobby/vrlsetup.exe HTTP/1.0\r"));
    QVERIFY(server.lastRequest.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"));
    QVERIFY(server.lastRequest.contains(
        "\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"));
}

void TestHttpCli::errorStatusFails()
{
    HttpTestServer server;
    server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 404 Not Found\r\n\r\ngone");
    };
    HttpCli http;
    http.URL = server.url("/lobby/vrlsetup.exe");
    const auto [error, saved] = failedGet(http);
    QCOMPARE(error.status(), 404);
    QCOMPARE(error.reason(), QStringLiteral("Not Found"));
    QCOMPARE(saved, QByteArray());
}

void TestHttpCli::abortEndsTheGet()
{
    HttpTestServer server;
    server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + body(1000), false); // and then nothing more
    };
    HttpCli http;
    http.URL = server.url("/lobby/vrlsetup.exe");
    http.OnDocData = [&http](qint64) { http.Abort(); }; // "Stop Download" while the data comes
    const auto [error, saved] = failedGet(http);
    QCOMPARE(error.status(), 404);
    QCOMPARE(error.reason(), QStringLiteral("Connection aborted on request"));
}

void TestHttpCli::truncatedDocumentFails()
{
    HttpTestServer server;
    server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + body(3000)); // then the line drops
    };
    HttpCli http;
    http.URL = server.url("/lobby/vrlsetup.exe");
    const auto [error, saved] = failedGet(http);
    QCOMPARE(error.status(), 200);
    QCOMPARE(error.reason(), QStringLiteral("The document ended after 3000 of 5000 bytes"));
    QCOMPARE(saved.size(), 3000);
}

void TestHttpCli::redirectsAreFollowed()
{
    HttpTestServer server;
    server.answer = [](QTcpSocket* client, const QByteArray& request) {
        if (request.startsWith("GET /old "))
            reply(client, "HTTP/1.0 302 Found\r\nLocation: /new\r\n\r\n");
        else
            reply(client, "HTTP/1.0 200 OK\r\n\r\nthe installer");
    };
    HttpCli http;
    http.URL = server.url("/old");
    QByteArray saved;
    QBuffer file(&saved);
    file.open(QIODevice::WriteOnly);
    http.Get(&file);
    QCOMPARE(saved, QByteArray("the installer"));
    QVERIFY(server.lastRequest.startsWith("GET /new HTTP/1.0"));
}

void TestHttpCli::unreachableHostFails()
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    HttpCli http;
    http.URL = QStringLiteral("http://127.0.0.1:%1/lobby/vrlsetup.exe").arg(closedPort);
    QCOMPARE(failedGet(http).first.status(), 0); // no answer came
}

void TestHttpCli::quittingProgramAbortsTheGet()
{
    HttpTestServer server;
    server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + body(1000), false);
    };
    HttpCli http;
    http.URL = server.url("/lobby/vrlsetup.exe");
    http.OnDocData = [](qint64) { QCoreApplication::exit(0); }; // the main window's "Exit"
    const auto [error, saved] = failedGet(http);
    QCOMPARE(error.status(), 404); // never a finished download that would start an installer
    QCOMPARE(saved.size(), 1000);
}

QTEST_GUILESS_MAIN(TestHttpCli)
#include "tst_httpcli.moc"
