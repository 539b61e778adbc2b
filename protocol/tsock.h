#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <stdexcept>

class QHostAddress;
class QTcpServer;
class StreamTransport;

// Raised by TSock for an operation in the wrong state or a name that cannot be resolved.
class ESockException : public std::runtime_error {
public:
    explicit ESockException(const QString& text) : std::runtime_error(text.toStdString()) {}
};

enum class TSocketType { stStream, stDatagram };

// Stored and published for the component's users; no line-break bytes are ever added or looked for.
enum class TLineBreak { lbCRLF, lbCR, lbLF, lbSmart };

// The kinds of status report that OnInfo carries.
enum class TSocketInfo {
    Lookup = 0,
    Connect = 1,
    Close = 2,
    Listen = 3,
    Receive = 4,
    Send = 5,
    Accept = 6,
    Error = 7
};

// One TCP connection or listener that moves bytes and reports what happens to it through
// event handlers, all on the thread of the Qt event loop. It knows nothing of the game's
// messages. Bytes that arrive wait in the incoming buffer until the owner takes them with
// receive(); bytes the platform cannot take at once wait, in order, in the outgoing buffer.
//
// Every close of a connected (not listening) instance is reported as "Socket Closed" through
// OnInfo, whatever the reason; a peer that closes gives OnDisconnect and then "Socket Closed",
// and a handler that closes again in OnDisconnect causes a second report, so handlers of it
// must be harmless when repeated.
//
// Handlers may close the instance, but must not delete it directly: use deleteLater().
// Destroying an instance closes it without reporting anything, since its owner is going away.
class TSock : public QObject {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(TSock* sender)>;
    using InfoEvent = std::function<void(TSock* sender, TSocketInfo info, const QString& msg)>;
    using ReadEvent = std::function<void(TSock* sender, qsizetype count)>;

    // At most this many bytes are taken from the platform per read notification.
    static constexpr qsizetype kReceiveArea = 32768;
    static constexpr int kListenBacklog = 5;

    explicit TSock(QObject* owner = nullptr);
    ~TSock() override;

    TSocketType SocketType() const { return socketType_; }
    // No effect while the instance is open.
    void setSocketType(TSocketType type);

    // A dotted address if it starts with a digit, else a name to resolve; empty means any address.
    QString HostName() const { return hostName_; }
    void setHostName(const QString& name);

    // A decimal port if it starts with a digit, else a service name looked up for "tcp".
    QString PortName() const { return portName_; }
    void setPortName(const QString& name);

    // The instance always runs non-blocking; the value is kept and copied to accepted instances.
    bool Blocking() const { return blocking_; }
    void setBlocking(bool blocking) { blocking_ = blocking; }
    int BlockingTimeout() const { return blockingTimeout_; }
    void setBlockingTimeout(int seconds) { blockingTimeout_ = seconds; }

    TLineBreak LineBreak() const { return lineBreak_; }
    void setLineBreak(TLineBreak lineBreak) { lineBreak_ = lineBreak; }

    // True starts listening on PortName (throws ESockException on failure); false stops it.
    bool Listen() const { return listening_; }
    void setListen(bool listen);

    // Small data of the owner's (the host keeps the slot number here).
    int Tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    NotifyEvent OnConnect;
    NotifyEvent OnDisconnect; // the peer closed; fired before the instance closes itself
    InfoEvent OnInfo;
    ReadEvent OnRead; // count: the bytes now waiting in the incoming buffer
    NotifyEvent OnWrite;
    NotifyEvent OnAccept; // a connection waits on this listener

    // Starts connecting to HostName:PortName and returns at once; completion arrives as
    // "Non-Blocking Socket Connected" and OnConnect, a failure as an Error report. An instance
    // that is already open just answers whether it is connected.
    bool open();

    // Accepts one waiting connection into a new instance owned by this listener, which copies
    // Blocking, BlockingTimeout, PortName and the OnRead, OnWrite, OnDisconnect and OnInfo
    // handlers; its HostName is the peer's address. False if the platform refused.
    bool accept(TSock*& newSock);

    // Takes over a stream that is already connected, as accept() does with a TCP connection.
    // Tests and the fuzzer hand the host connections of their own this way.
    void adoptConnected(StreamTransport* stream);
    // The other way round: gives the connection to its next owner, who adopts it, and leaves
    // this instance closed without a report. Bytes read already stay here: receive() them first.
    StreamTransport* release();

    // Queues the bytes and hands the platform what it takes now; the rest leaves later, in order.
    // The platform may report the connection gone while it takes them: the instance is then
    // closed (with its reports) by the time send returns.
    bool send(QByteArrayView text);

    // Everything in the incoming buffer, which is left empty.
    QByteArray receive();

    // Closes the connection or stops listening. Reports "Socket Closed" unless it was listening,
    // also when the instance was closed already. Returns whether there was anything to close.
    bool close();

    bool connected() const { return connected_; }
    // Connected, or still connecting: what is sent now will leave.
    bool isOpen() const { return stream_ != nullptr; }
    // The port a listener is bound to (useful when PortName is "0"); 0 when not listening.
    quint16 localPort() const;
    qsizetype outgoingSize() const;
    qsizetype incomingSize() const { return incoming_.size(); }

private:
    bool hasHandle() const { return stream_ != nullptr || server_ != nullptr; }
    void info(TSocketInfo kind, const QString& text);
    void attach(StreamTransport* stream);
    void releaseHandle();
    quint16 resolvePort();
    QHostAddress resolveHost();

    void readNotification();
    void writeNotification();
    void connectNotification();
    void closeNotification();
    void errorNotification(int wsaError);

    TSocketType socketType_ = TSocketType::stStream;
    QString hostName_;
    QString portName_;
    bool blocking_ = false;
    int blockingTimeout_ = 0;
    TLineBreak lineBreak_ = TLineBreak::lbSmart;
    int tag_ = 0;

    StreamTransport* stream_ = nullptr; // owned; set while connecting or connected
    QTcpServer* server_ = nullptr;      // owned; set while listening
    bool connected_ = false;
    bool listening_ = false;
    QByteArray incoming_;
};
