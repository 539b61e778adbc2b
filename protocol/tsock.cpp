#include "tsock.h"

#include "faultreport.h"
#include "tcptransport.h"
#include "wsaerrors.h"

#include <QHash>
#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#endif

namespace {

bool startsWithDigit(const QString& text)
{
    return !text.isEmpty() && text.front().isDigit();
}

// Host names resolved once stay resolved for the whole run.
QHash<QString, QHostAddress>& resolvedHosts()
{
    static QHash<QString, QHostAddress> cache;
    return cache;
}

QHostAddress firstUsableAddress(const QHostInfo& host)
{
    const QList<QHostAddress> addresses = host.addresses();
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    }
    return addresses.isEmpty() ? QHostAddress() : addresses.front();
}

// The peer as a dotted IPv4 address where it is one, even on a dual-stack listener.
QString dottedAddress(const QHostAddress& address)
{
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : address.toString();
}

} // namespace

TSock::TSock(QObject* owner) : QObject(owner)
{}

TSock::~TSock()
{
    // Silent on purpose: handlers would run against an owner that is being torn down.
    OnInfo = nullptr;
    releaseHandle();
}

void TSock::setSocketType(TSocketType type)
{
    if (!hasHandle())
        socketType_ = type;
}

void TSock::setHostName(const QString& name)
{
    if (connected_)
        info(TSocketInfo::Lookup, QStringLiteral("Setting HostName While Connected Has No Effect"));
    hostName_ = name;
}

void TSock::setPortName(const QString& name)
{
    if (connected_)
        info(TSocketInfo::Lookup, QStringLiteral("Setting PortName While Connected Has No Effect"));
    portName_ = name;
}

void TSock::info(TSocketInfo kind, const QString& text)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(this, kind, text);
    } catch (...) {
        throw ESockException(QStringLiteral("Error here"));
    }
}

quint16 TSock::resolvePort()
{
    if (startsWithDigit(portName_)) {
        bool ok = false;
        const quint16 port = portName_.toUShort(&ok);
        if (ok)
            return port;
    } else {
        info(TSocketInfo::Lookup, QStringLiteral("Lookup Of Port ") + portName_);
        const QByteArray service = portName_.toLatin1();
        const char* protocol = socketType_ == TSocketType::stStream ? "tcp" : "udp";
        if (const servent* entry = getservbyname(service.constData(), protocol))
            return ntohs(static_cast<quint16>(entry->s_port));
    }
    throw ESockException(QStringLiteral("Port Lookup - Could Not Find Service Entry"));
}

QHostAddress TSock::resolveHost()
{
    if (hostName_.isEmpty())
        return QHostAddress(QHostAddress::Any);
    if (startsWithDigit(hostName_)) {
        const QHostAddress dotted(hostName_);
        if (!dotted.isNull())
            return dotted;
    }
    info(TSocketInfo::Lookup, QStringLiteral("Lookup Of Host ") + hostName_);
    auto& cache = resolvedHosts();
    if (const auto cached = cache.constFind(hostName_); cached != cache.cend())
        return *cached;
    const QHostAddress address = firstUsableAddress(QHostInfo::fromName(hostName_));
    if (address.isNull())
        throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    cache.insert(hostName_, address);
    return address;
}

bool TSock::open()
{
    if (hasHandle())
        return connected_;
    if (socketType_ != TSocketType::stStream)
        throw ESockException(QStringLiteral("Open - Datagram Sockets Are Not Supported"));
    const quint16 port = resolvePort();
    const QHostAddress address = resolveHost();
    auto* stream = new TcpTransport(new QTcpSocket, this);
    attach(stream);
    stream->connectTo(address, port);
    return connected_;
}

void TSock::attach(StreamTransport* stream)
{
    stream_ = stream;
    // Each notification is one event of its own: whatever its handlers throw ends it there.
    connect(stream, &StreamTransport::readyRead, this,
            [this] { FaultReport::guard([this] { readNotification(); }); });
    connect(stream, &StreamTransport::bytesWritten, this,
            [this] { FaultReport::guard([this] { writeNotification(); }); });
    connect(stream, &StreamTransport::connected, this,
            [this] { FaultReport::guard([this] { connectNotification(); }); });
    connect(stream, &StreamTransport::disconnected, this,
            [this] { FaultReport::guard([this] { closeNotification(); }); });
    connect(stream, &StreamTransport::failed, this,
            [this](int wsaError) { FaultReport::guard([this, wsaError] { errorNotification(wsaError); }); });
}

void TSock::releaseHandle()
{
    if (StreamTransport* stream = std::exchange(stream_, nullptr)) {
        stream->disconnect(this);
        stream->shutdown();
        stream->deleteLater(); // we may be inside one of its signals
    }
    if (QTcpServer* server = std::exchange(server_, nullptr)) {
        server->disconnect(this);
        server->close();
        server->deleteLater();
    }
}

void TSock::setListen(bool listen)
{
    if (!listen) {
        if (listening_) {
            releaseHandle();
            listening_ = false;
            info(TSocketInfo::Listen, QStringLiteral("Listening Stopped"));
        }
        return;
    }
    if (listening_) {
        info(TSocketInfo::Listen, QStringLiteral("Listening Already Running"));
        return;
    }
    if (socketType_ == TSocketType::stDatagram)
        throw ESockException(QStringLiteral("Listen - Cannot Listen On A Datagram Socket"));
    if (stream_ != nullptr)
        throw ESockException(QStringLiteral("Listen - Socket Already In Use"));

    const quint16 port = resolvePort();
    auto* server = new QTcpServer(this);
    server->setListenBacklogSize(kListenBacklog);
    if (!server->listen(QHostAddress::Any, port)) {
        const bool bindFailed = server->serverError() != QAbstractSocket::UnknownSocketError;
        delete server;
        throw ESockException(bindFailed ? QStringLiteral("Listen - Error Binding Socket")
                                        : QStringLiteral("Listen - Error Starting Listen"));
    }
    connect(server, &QTcpServer::newConnection, this, [this] {
        FaultReport::guard([this] {
            if (OnAccept)
                OnAccept(this);
        });
    });
    server_ = server;
    listening_ = true;
    info(TSocketInfo::Listen, QStringLiteral("Listening Started"));
}

quint16 TSock::localPort() const
{
    return server_ != nullptr ? server_->serverPort() : 0;
}

bool TSock::accept(TSock*& newSock)
{
    if (!listening_)
        throw ESockException(QStringLiteral("Accept - Socket Not In Listening Mode"));
    QTcpSocket* socket = server_->nextPendingConnection();
    if (socket == nullptr) {
        info(TSocketInfo::Accept, QStringLiteral("Could Not Accept Connection"));
        return false;
    }
    auto* accepted = new TSock(this);
    accepted->blocking_ = blocking_;
    accepted->blockingTimeout_ = blockingTimeout_;
    accepted->OnRead = OnRead;
    accepted->OnWrite = OnWrite;
    accepted->OnDisconnect = OnDisconnect;
    accepted->OnInfo = OnInfo;
    accepted->portName_ = portName_;
    accepted->adoptConnected(new TcpTransport(socket));
    newSock = accepted;
    info(TSocketInfo::Accept, QStringLiteral("Created New TSock Structure"));
    return true;
}

void TSock::adoptConnected(StreamTransport* stream)
{
    releaseHandle();
    stream->setParent(this);
    hostName_ = dottedAddress(stream->peerAddress());
    connected_ = true;
    listening_ = false;
    attach(stream);
    if (stream->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(
            this, [this] { FaultReport::guard([this] { readNotification(); }); }, Qt::QueuedConnection);
    }
}

StreamTransport* TSock::release()
{
    StreamTransport* stream = std::exchange(stream_, nullptr);
    if (stream != nullptr) {
        stream->disconnect(this);
        stream->setParent(nullptr);
    }
    connected_ = false;
    return stream;
}

bool TSock::send(QByteArrayView text)
{
    if (listening_)
        throw ESockException(QStringLiteral("Send - Cannot Send On A Listener Socket"));
    if (stream_ == nullptr)
        throw ESockException(QStringLiteral("Send - Socket Not Connected"));
    stream_->write(text);
    const QPointer<TSock> alive(this);
    info(TSocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (alive && stream_ != nullptr && connected_)
        stream_->flush(); // hand the platform what it takes now, as the peer expects it promptly
    return true;
}

QByteArray TSock::receive()
{
    if (listening_)
        throw ESockException(QStringLiteral("Receive - Cannot Receive On A Listener Socket"));
    if (stream_ == nullptr && incoming_.isEmpty())
        throw ESockException(QStringLiteral("Receive - Socket Not Connected"));
    return std::exchange(incoming_, {});
}

bool TSock::close()
{
    const bool hadHandle = hasHandle();
    const bool wasListening = listening_;
    releaseHandle();
    connected_ = false;
    listening_ = false;
    if (!wasListening)
        info(TSocketInfo::Close, QStringLiteral("Socket Closed"));
    return hadHandle;
}

qsizetype TSock::outgoingSize() const
{
    return stream_ != nullptr ? stream_->bytesToWrite() : 0;
}

void TSock::readNotification()
{
    if (stream_ == nullptr)
        return;
    incoming_ += stream_->read(kReceiveArea);
    const QPointer<TSock> alive(this);
    info(TSocketInfo::Receive, QStringLiteral("Non-Blocking Incoming Data"));
    if (alive && OnRead)
        OnRead(this, incoming_.size());
    // A burst larger than the receive area arrives over several notifications.
    if (alive && stream_ != nullptr && stream_->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(
            this, [this] { FaultReport::guard([this] { readNotification(); }); }, Qt::QueuedConnection);
    }
}

void TSock::writeNotification()
{
    const QPointer<TSock> alive(this);
    if (stream_ != nullptr && stream_->bytesToWrite() > 0)
        info(TSocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (alive && OnWrite)
        OnWrite(this);
}

void TSock::connectNotification()
{
    connected_ = true;
    const QPointer<TSock> alive(this);
    info(TSocketInfo::Connect, QStringLiteral("Non-Blocking Socket Connected"));
    if (alive && OnConnect)
        OnConnect(this);
    if (alive && stream_ != nullptr)
        stream_->flush(); // anything sent while connecting
}

void TSock::closeNotification()
{
    const QPointer<TSock> alive(this);
    // Whatever the peer sent before closing is still delivered.
    while (alive && stream_ != nullptr && stream_->bytesAvailable() > 0)
        readNotification();
    if (alive && OnDisconnect)
        OnDisconnect(this);
    if (alive)
        close();
}

void TSock::errorNotification(int wsaError)
{
    info(TSocketInfo::Error, WsaErrors::report(wsaError));
}
