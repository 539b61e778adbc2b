// TSock over loopback: two instances exchange bytes and report what happens to them.
#include "receivedlist.h"
#include "tsock.h"
#include "wsaerrors.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Events = QStringList;

// Records every OnInfo text and OnDisconnect of an instance, in order.
void record(TSock& sock, Events& events)
{
    sock.OnInfo = [&events](TSock*, TSocketInfo, const QString& text) { events << text; };
    sock.OnDisconnect = [&events](TSock*) { events << QStringLiteral("OnDisconnect"); };
}

// A listener on a free port, a client connected to it, and the listener's end of the connection.
struct Loopback {
    TSock listener;
    TSock client;
    TSock* served = nullptr;
    Events serverEvents;
    Events clientEvents;

    bool connect(const QString& host = QStringLiteral("127.0.0.1"))
    {
        record(listener, serverEvents); // accepted instances copy these handlers
        listener.setPortName(QStringLiteral("0"));
        listener.OnAccept = [this](TSock* sender) { sender->accept(served); };
        listener.setListen(true);
        record(client, clientEvents);
        client.setHostName(host);
        client.setPortName(QString::number(listener.localPort()));
        client.open();
        return QTest::qWaitFor([this] { return served != nullptr && client.connected(); }, 5000);
    }
};

QByteArray wait(TSock& sock, qsizetype bytes)
{
    QByteArray received;
    const bool complete = QTest::qWaitFor(
        [&] {
            if (sock.incomingSize() > 0)
                received += sock.receive();
            return received.size() >= bytes;
        },
        10000);
    if (!complete)
        qWarning("only %lld of %lld bytes arrived", static_cast<long long>(received.size()),
                 static_cast<long long>(bytes));
    return received;
}

} // namespace

class TestTSock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void connectsAndAccepts();
    void connectsByName();
    void movesBytesBothWays();
    void largeSendLeavesInOrder();
    void readerQueuesMessagesInOrderAcrossReads();
    void peerCloseReportsDisconnectThenClosed();
    void closingAgainInOnDisconnectReportsTwice();
    void bytesSentBeforeCloseStillArrive();
    void localDoubleCloseReportsTwice();
    void wrongStateOperationsRaise();
    void portInUseCannotBind();
    void refusedConnectionIsAnErrorReport();
    void infoHandlerFailureBecomesErrorHere();
    void errorTextsUseWindowsSocketsNames();
};

void TestTSock::connectsAndAccepts()
{
    Loopback loop;
    QVERIFY(loop.connect());
    QVERIFY(loop.serverEvents.contains(QStringLiteral("Listening Started")));
    QVERIFY(loop.serverEvents.contains(QStringLiteral("Created New TSock Structure")));
    QVERIFY(loop.clientEvents.contains(QStringLiteral("Non-Blocking Socket Connected")));
    QCOMPARE(loop.served->parent(), &loop.listener);
    QVERIFY(loop.served->connected());
    QCOMPARE(loop.served->HostName(), QStringLiteral("127.0.0.1"));
    QCOMPARE(loop.served->PortName(), QStringLiteral("0"));
    QVERIFY(static_cast<bool>(loop.served->OnInfo)); // copied from the listener

    // An open instance only answers whether it is connected.
    QVERIFY(loop.client.open());
}

void TestTSock::connectsByName()
{
    Loopback loop;
    QVERIFY(loop.connect(QStringLiteral("localhost")));
    QCOMPARE(loop.clientEvents.first(), QStringLiteral("Lookup Of Host localhost"));

    // Setting the peer while connected changes nothing but says so.
    loop.clientEvents.clear();
    loop.client.setHostName(QStringLiteral("elsewhere"));
    loop.client.setPortName(QStringLiteral("1"));
    QCOMPARE(loop.clientEvents, (Events{"Setting HostName While Connected Has No Effect",
                                        "Setting PortName While Connected Has No Effect"}));
    QVERIFY(loop.client.connected());
}

void TestTSock::movesBytesBothWays()
{
    Loopback loop;
    QVERIFY(loop.connect());
    int readEvents = 0;
    loop.served->OnRead = [&readEvents](TSock*, qsizetype count) {
        ++readEvents;
        QVERIFY(count > 0);
    };
    static constexpr char kHello[] = "hello\xFF\x80 bytes";
    const QByteArray hello(kHello, sizeof kHello - 1);
    QVERIFY(loop.client.send(hello));
    QCOMPARE(wait(*loop.served, hello.size()), hello);
    QVERIFY(readEvents > 0);
    QVERIFY(loop.clientEvents.contains(QStringLiteral("Non-Blocking Outgoing Data")));

    loop.served->send("and back");
    QCOMPARE(wait(loop.client, 8), QByteArray("and back"));
}

void TestTSock::largeSendLeavesInOrder()
{
    Loopback loop;
    QVERIFY(loop.connect());
    QByteArray big(16 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 251);
    loop.client.send(big);
    QVERIFY2(loop.client.outgoingSize() > 0, "the platform took 16 MiB at once; the test proves nothing");
    loop.client.send("tail");
    const QByteArray received = wait(*loop.served, big.size() + 4);
    QCOMPARE(received.size(), big.size() + 4);
    QVERIFY(received.first(big.size()) == big);
    QCOMPARE(received.last(4), QByteArray("tail"));
}

void TestTSock::readerQueuesMessagesInOrderAcrossReads()
{
    Loopback loop;
    QVERIFY(loop.connect());
    ReceivedList queue(std::chrono::milliseconds(1));
    QList<QByteArray> handled;
    queue.setHandler("CMD_chat", [&handled](FieldReader& fields, TSock* from) {
        QVERIFY(from != nullptr);
        handled << fields.rest();
    });
    loop.served->OnRead = [&queue](TSock* sender, qsizetype) {
        QVERIFY(queue.receive(sender, sender->receive()));
    };

    // Three whole messages in one send, then one message in two sends.
    loop.client.send("CMD_chat+1+a\xFF"
                     "CMD_chat+1+b\xFF"
                     "CMD_chat+1+c\xFF");
    QTRY_COMPARE(handled.size(), 3);
    loop.client.send("CMD_chat+1+hel");
    QTest::qWait(50);
    QCOMPARE(handled.size(), 3); // nothing is dispatched before its terminator arrives
    loop.client.send("lo|clRed\xFF");
    QTRY_COMPARE(handled.size(), 4);
    QCOMPARE(handled, (QList<QByteArray>{"1+a", "1+b", "1+c", "1+hello|clRed"}));
    QTRY_VERIFY(!queue.isTicking());
}

void TestTSock::peerCloseReportsDisconnectThenClosed()
{
    Loopback loop;
    QVERIFY(loop.connect());
    loop.serverEvents.clear();
    loop.client.close();
    QTRY_VERIFY(loop.serverEvents.contains(QStringLiteral("Socket Closed")));
    loop.serverEvents.removeAll(QStringLiteral("Non-Blocking Incoming Data"));
    QCOMPARE(loop.serverEvents, (Events{"OnDisconnect", "Socket Closed"}));
    QVERIFY(!loop.served->connected());
}

void TestTSock::closingAgainInOnDisconnectReportsTwice()
{
    Loopback loop;
    QVERIFY(loop.connect());
    int closedReports = 0;
    loop.served->OnDisconnect = [](TSock* sender) { sender->close(); };
    loop.served->OnInfo = [&closedReports](TSock*, TSocketInfo kind, const QString& text) {
        if (text == QStringLiteral("Socket Closed")) {
            QCOMPARE(kind, TSocketInfo::Close);
            ++closedReports;
        }
    };
    loop.client.close();
    QTRY_COMPARE(closedReports, 2);
}

void TestTSock::bytesSentBeforeCloseStillArrive()
{
    Loopback loop;
    QVERIFY(loop.connect());
    QByteArray delivered;
    loop.served->OnRead = [&delivered](TSock* sender, qsizetype) { delivered += sender->receive(); };
    loop.client.send("CMD_full+\xFF");
    loop.client.close();
    QTRY_VERIFY(loop.serverEvents.contains(QStringLiteral("Socket Closed")));
    QCOMPARE(delivered, QByteArray("CMD_full+\xFF"));
}

void TestTSock::localDoubleCloseReportsTwice()
{
    Loopback loop;
    QVERIFY(loop.connect());
    loop.clientEvents.clear();
    QVERIFY(loop.client.close());
    QVERIFY(!loop.client.close()); // nothing left to close, but it says so again
    QCOMPARE(loop.clientEvents, (Events{"Socket Closed", "Socket Closed"}));

    // A listener stops without "Socket Closed".
    loop.serverEvents.clear();
    loop.listener.setListen(false);
    QCOMPARE(loop.serverEvents, (Events{"Listening Stopped"}));
}

void TestTSock::wrongStateOperationsRaise()
{
    TSock sock;
    const auto raises = [](auto&& operation, const char* text) {
        try {
            operation();
        } catch (const ESockException& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString::fromLatin1(text));
            return;
        }
        QFAIL("no ESockException");
    };
    raises([&] { sock.send("x"); }, "Send - Socket Not Connected");
    raises([&] { sock.receive(); }, "Receive - Socket Not Connected");
    TSock* accepted = nullptr;
    raises([&] { sock.accept(accepted); }, "Accept - Socket Not In Listening Mode");
    sock.setPortName(QStringLiteral("no-such-service-here"));
    raises([&] { sock.open(); }, "Port Lookup - Could Not Find Service Entry");
    raises([&] { sock.setListen(true); }, "Port Lookup - Could Not Find Service Entry");

    sock.setPortName(QStringLiteral("0"));
    Events events;
    record(sock, events);
    sock.setListen(true);
    sock.setListen(true);
    QCOMPARE(events, (Events{"Listening Started", "Listening Already Running"}));
    raises([&] { sock.send("x"); }, "Send - Cannot Send On A Listener Socket");
    raises([&] { sock.receive(); }, "Receive - Cannot Receive On A Listener Socket");

    TSock datagram;
    datagram.setSocketType(TSocketType::stDatagram);
    raises([&] { datagram.setListen(true); }, "Listen - Cannot Listen On A Datagram Socket");
}

void TestTSock::portInUseCannotBind()
{
    TSock first;
    first.setPortName(QStringLiteral("0"));
    first.setListen(true);
    TSock second;
    second.setPortName(QString::number(first.localPort()));
    QVERIFY_THROWS_EXCEPTION(ESockException, second.setListen(true));
    try {
        second.setListen(true);
    } catch (const ESockException& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("Listen - Error Binding Socket"));
    }
    QVERIFY(!second.Listen());
}

void TestTSock::refusedConnectionIsAnErrorReport()
{
    quint16 closedPort = 0;
    {
        TSock probe;
        probe.setPortName(QStringLiteral("0"));
        probe.setListen(true);
        closedPort = probe.localPort();
    }
    TSock client;
    Events events;
    record(client, events);
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(closedPort));
    QVERIFY(!client.open());
    QTRY_VERIFY(!events.isEmpty());
    QCOMPARE(events, (Events{"Error #10061 (WSAECONNREFUSED)"}));
    QVERIFY(!client.connected());
}

void TestTSock::infoHandlerFailureBecomesErrorHere()
{
    TSock sock;
    sock.OnInfo = [](TSock*, TSocketInfo, const QString&) { throw std::runtime_error("boom"); };
    try {
        sock.close();
        QFAIL("no ESockException");
    } catch (const ESockException& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("Error here"));
    }
}

void TestTSock::errorTextsUseWindowsSocketsNames()
{
    QCOMPARE(WsaErrors::report(10054), QStringLiteral("Error #10054 (WSAECONNRESET)"));
    QCOMPARE(WsaErrors::name(10004), QStringLiteral("WSAEINTR"));
    QCOMPARE(WsaErrors::name(11004), QStringLiteral("WSANO_DATA"));
    QCOMPARE(WsaErrors::name(10003), QStringLiteral("UNKNOWN ERROR"));
    QCOMPARE(WsaErrors::name(11005), QStringLiteral("UNKNOWN ERROR"));
    QCOMPARE(WsaErrors::fromQt(QAbstractSocket::ConnectionRefusedError), 10061);
    QCOMPARE(WsaErrors::fromQt(QAbstractSocket::AddressInUseError), 10048);
}

QTEST_GUILESS_MAIN(TestTSock)
#include "tst_tsock.moc"
