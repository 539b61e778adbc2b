#include "xmppconnection.h"

#include "scramsha1.h"
#include "stanzawriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSslConfiguration>

#include <algorithm>
#include <array>

namespace {

// The certificate authorities a lobby's certificate may come from: the system's, and the file
// PINFALL_LOBBY_CA names (a club's own lobby).
QSslConfiguration tlsConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QString extra = qEnvironmentVariable("PINFALL_LOBBY_CA");
    if (!extra.isEmpty())
        configuration.addCaCertificates(QSslCertificate::fromPath(extra));
    return configuration;
}

QByteArray randomNonce()
{
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof(words)).toBase64();
}

// The name of the first child: how XMPP names a condition ("not-authorized", "conflict"…).
QString conditionOf(const XmlElement& element)
{
    return element.children.isEmpty() ? QStringLiteral("no reason given") : element.children.front().name;
}

// Why a server ends a stream, in words a player can act on; the condition's name for the rest.
QString streamErrorInPlainWords(const XmlElement& error)
{
    static constexpr std::array<std::pair<const char*, const char*>, 4> kPlain{{
        {"system-shutdown", "it is shutting down"},
        {"conflict", "the same account signed in from elsewhere"},
        {"policy-violation", "this program sent too much or too fast"},
        {"connection-timeout", "the connection was quiet for too long"},
    }};
    QString condition = conditionOf(error);
    for (const auto& [name, words] : kPlain) {
        if (condition == QLatin1String(name))
            return QString::fromLatin1(words);
    }
    return condition;
}

QString inPlainWords(QAbstractSocket::SocketError error, const QString& fallback)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("nothing is listening at that address and port");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("no computer has that name");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("the lobby closed the connection");
    case QAbstractSocket::NetworkError:
        return QStringLiteral("the network is unreachable");
    default:
        return fallback;
    }
}

} // namespace

XmppConnection::XmppConnection(QObject* parent) : QObject(parent)
{
    for (QTimer* timer : {&stepTimer_, &idleTimer_, &pingTimer_})
        timer->setSingleShot(true);
    // What waits unread is bounded too: the reader takes a stanza's worth at a time.
    socket_.setReadBufferSize(StanzaReader::kMaxStanzaBytes);
    connect(&stepTimer_, &QTimer::timeout, this, [this] {
        finish(step_ == Step::Connecting ? QStringLiteral("Lobby unreachable: it did not answer.")
                                         : QStringLiteral("The lobby did not finish signing in."));
    });
    connect(&idleTimer_, &QTimer::timeout, this, &XmppConnection::pingServer);
    connect(&pingTimer_, &QTimer::timeout, this,
            [this] { finish(QStringLiteral("The lobby stopped answering.")); });
    connect(&socket_, &QSslSocket::connected, this, [this] {
        // Stanzas are small and often answer one another: none waits for an acknowledgement.
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        streamStarts();
    });
    connect(&socket_, &QSslSocket::encrypted, this, &XmppConnection::streamStarts);
    connect(&socket_, &QSslSocket::readyRead, this, &XmppConnection::readArrived);
    connect(&socket_, &QSslSocket::sslErrors, this, &XmppConnection::sslFailed);
    connect(&socket_, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (step_ == Step::Offline)
            return; // already said
        if (error == QAbstractSocket::SslHandshakeFailedError && step_ == Step::Tls)
            return; // sslFailed says whose certificate
        const QString why = inPlainWords(error, socket_.errorString());
        finish(step_ == Step::Online ? QStringLiteral("The connection to the lobby was lost: %1.").arg(why)
                                     : QStringLiteral("Lobby unreachable: %1.").arg(why));
    });
}

XmppConnection::~XmppConnection()
{
    socket_.disconnect(this);
}

void XmppConnection::connectToServer(const QString& host, quint16 port, const Account& account)
{
    account_ = account;
    authenticated_ = false;
    jid_.clear();
    reader_.reset();
    socket_.abort(); // whatever is left of an earlier connection
    step_ = Step::Connecting;
    stepTimer_.start(stepTime);
    socket_.setSslConfiguration(tlsConfiguration());
    socket_.setPeerVerifyName(account.domain);
    socket_.connectToHost(host, port);
}

void XmppConnection::disconnectFromServer()
{
    if (step_ == Step::Offline)
        return;
    writeRaw("</stream:stream>");
    finish({});
}

void XmppConnection::send(const XmlElement& stanza)
{
    if (step_ == Step::Online)
        writeRaw(writeStanza(stanza));
}

void XmppConnection::streamStarts()
{
    reader_.reset();
    step_ = Step::Features;
    writeRaw(streamHeader(account_.domain));
}

void XmppConnection::readArrived()
{
    reader_.feed(socket_.readAll());
    if (step_ == Step::Online) {
        pingTimer_.stop(); // any word from the server answers a ping
        idleTimer_.start(idleTime);
    }
    while (std::optional<StanzaReader::Event> event = reader_.next()) {
        switch (event->kind) {
        case StanzaReader::Event::Kind::StreamOpened:
            break;
        case StanzaReader::Event::Kind::Stanza:
            handle(event->element);
            break;
        case StanzaReader::Event::Kind::StreamClosed:
            finish(QStringLiteral("The lobby closed the connection."));
            return;
        case StanzaReader::Event::Kind::Error:
            writeRaw("<stream:error><not-well-formed xmlns='urn:ietf:params:xml:ns:xmpp-streams'/>"
                     "</stream:error></stream:stream>");
            finish(QStringLiteral("The lobby sent what is not XMPP: %1").arg(event->error));
            return;
        }
        if (step_ == Step::Offline)
            return; // a stanza ended the connection
    }
}

void XmppConnection::handle(const XmlElement& stanza)
{
    if (stanza.ns == XmppNs::kStream && stanza.name == QLatin1String("error")) {
        finish(QStringLiteral("The lobby ended the connection: %1.").arg(streamErrorInPlainWords(stanza)));
        return;
    }
    switch (step_) {
    case Step::Features:
        if (stanza.ns == XmppNs::kStream && stanza.name == QLatin1String("features"))
            handleFeatures(stanza);
        break;
    case Step::Tls:
        if (stanza.ns == XmppNs::kTls && stanza.name == QLatin1String("proceed")) {
            reader_.reset();
            socket_.startClientEncryption();
        } else {
            finish(QStringLiteral("The lobby refused to encrypt the connection."));
        }
        break;
    case Step::Sasl:
        handleSasl(stanza);
        break;
    case Step::Bind:
        handleBind(stanza);
        break;
    case Step::Online:
        handleOnline(stanza);
        break;
    case Step::Offline:
    case Step::Connecting:
        break;
    }
}

void XmppConnection::handleFeatures(const XmlElement& features)
{
    if (!socket_.isEncrypted()) {
        if (features.child(u"starttls", XmppNs::kTls) == nullptr) {
            finish(QStringLiteral("The lobby does not offer encryption."));
            return;
        }
        step_ = Step::Tls;
        writeRaw(writeStanza(makeElement(QStringLiteral("starttls"), XmppNs::kTls)));
    } else if (!authenticated_) {
        const XmlElement* mechanisms = features.child(u"mechanisms", XmppNs::kSasl);
        if (mechanisms == nullptr) {
            finish(QStringLiteral("The lobby offers no way to sign in."));
            return;
        }
        signIn(*mechanisms);
    } else if (features.child(u"bind", XmppNs::kBind) != nullptr) {
        step_ = Step::Bind;
        XmlElement iq = makeElement(QStringLiteral("iq"), XmppNs::kClient,
                                    {{QStringLiteral("type"), QStringLiteral("set")},
                                     {QStringLiteral("id"), QStringLiteral("bind")}});
        iq.children.append(makeElement(QStringLiteral("bind"), XmppNs::kBind));
        writeRaw(writeStanza(iq));
    } else {
        finish(QStringLiteral("The lobby gives no address to this connection."));
    }
}

void XmppConnection::signIn(const XmlElement& mechanisms)
{
    const auto offers = [&mechanisms](QLatin1String name) {
        return std::any_of(mechanisms.children.begin(), mechanisms.children.end(),
                           [name](const XmlElement& mechanism) { return mechanism.text == name; });
    };
    const auto auth = [this](const QString& mechanism, const QByteArray& initial) {
        step_ = Step::Sasl;
        // An empty initial response is written "=", as opposed to none at all.
        writeRaw(writeStanza(
            makeElement(QStringLiteral("auth"), XmppNs::kSasl, {{QStringLiteral("mechanism"), mechanism}},
                        initial.isEmpty() ? QStringLiteral("=") : QString::fromLatin1(initial.toBase64()))));
    };
    if (account_.user.isEmpty()) {
        if (offers(QLatin1String("ANONYMOUS")))
            auth(QStringLiteral("ANONYMOUS"), {});
        else
            finish(QStringLiteral("The lobby does not let guests sign in."));
    } else if (offers(QLatin1String("SCRAM-SHA-1"))) {
        scram_ = std::make_unique<ScramSha1>(account_.user, account_.password, randomNonce());
        auth(QStringLiteral("SCRAM-SHA-1"), scram_->clientFirst());
    } else if (offers(QLatin1String("PLAIN"))) { // the connection is encrypted by now
        auth(QStringLiteral("PLAIN"), '\0' + account_.user.toUtf8() + '\0' + account_.password.toUtf8());
    } else {
        finish(QStringLiteral("The lobby offers no way to sign in with a password that we know."));
    }
}

void XmppConnection::handleSasl(const XmlElement& answer)
{
    if (answer.ns != XmppNs::kSasl)
        return;
    const QByteArray data = QByteArray::fromBase64(answer.text.toLatin1());
    if (answer.name == QLatin1String("challenge")) {
        const std::optional<QByteArray> response = scram_ ? scram_->clientFinal(data) : std::nullopt;
        if (!response) {
            finish(QStringLiteral("The lobby's sign-in challenge makes no sense."));
            return;
        }
        writeRaw(writeStanza(makeElement(QStringLiteral("response"), XmppNs::kSasl, {},
                                         QString::fromLatin1(response->toBase64()))));
    } else if (answer.name == QLatin1String("success")) {
        if (scram_ && !scram_->verifyServerFinal(data)) {
            finish(QStringLiteral("The lobby could not show that it knows the password."));
            return;
        }
        scram_.reset();
        authenticated_ = true;
        streamStarts();
    } else if (answer.name == QLatin1String("failure")) {
        finish(account_.user.isEmpty()
                   ? QStringLiteral("The lobby refused to let a guest sign in: %1.").arg(conditionOf(answer))
                   : QStringLiteral("The lobby refused the sign-in: %1.").arg(conditionOf(answer)));
    }
}

void XmppConnection::handleBind(const XmlElement& iq)
{
    if (iq.name != QLatin1String("iq") || iq.attribute(u"id") != QLatin1String("bind"))
        return;
    const XmlElement* bind = iq.child(u"bind", XmppNs::kBind);
    const XmlElement* jid = bind != nullptr ? bind->child(u"jid", XmppNs::kBind) : nullptr;
    if (iq.attribute(u"type") != QLatin1String("result") || jid == nullptr || jid->text.isEmpty()) {
        finish(QStringLiteral("The lobby gave this connection no address."));
        return;
    }
    jid_ = jid->text;
    step_ = Step::Online;
    stepTimer_.stop();
    idleTimer_.start(idleTime);
    writeRaw(writeStanza(makeElement(QStringLiteral("presence"), XmppNs::kClient)));
    Q_EMIT online();
}

void XmppConnection::handleOnline(const XmlElement& stanza)
{
    if (stanza.name != QLatin1String("iq")) {
        Q_EMIT stanzaReceived(stanza);
        return;
    }
    const QString type = stanza.attribute(u"type");
    if (type != QLatin1String("get") && type != QLatin1String("set")) {
        Q_EMIT stanzaReceived(stanza); // an answer, maybe to our own ping: the timer is stopped already
        return;
    }
    // A request: a ping is answered, anything else refused as the protocol asks.
    XmlElement answer =
        makeElement(QStringLiteral("iq"), XmppNs::kClient, {{QStringLiteral("id"), stanza.attribute(u"id")}});
    if (const QString from = stanza.attribute(u"from"); !from.isEmpty())
        answer.attributes.append({QStringLiteral("to"), from});
    if (stanza.child(u"ping", XmppNs::kPing) != nullptr) {
        answer.attributes.append({QStringLiteral("type"), QStringLiteral("result")});
    } else {
        answer.attributes.append({QStringLiteral("type"), QStringLiteral("error")});
        XmlElement error = makeElement(QStringLiteral("error"), XmppNs::kClient,
                                       {{QStringLiteral("type"), QStringLiteral("cancel")}});
        error.children.append(makeElement(QStringLiteral("service-unavailable"), XmppNs::kStanzas));
        answer.children.append(error);
    }
    writeRaw(writeStanza(answer));
}

void XmppConnection::sslFailed(const QList<QSslError>& errors)
{
    if (socket_.peerAddress().isLoopback()) {
        socket_.ignoreSslErrors(); // a lobby on this machine: nothing leaves it
        return;
    }
    const QSslCertificate certificate = socket_.peerCertificate();
    const QString whose =
        certificate.isNull()
            ? QStringLiteral("no certificate")
            : certificate.subjectInfo(QSslCertificate::CommonName).join(QStringLiteral(", "));
    finish(
        QStringLiteral("Certificate not trusted: %1 (%2).")
            .arg(whose, errors.isEmpty() ? QStringLiteral("unknown error") : errors.front().errorString()));
}

void XmppConnection::pingServer()
{
    XmlElement iq = makeElement(QStringLiteral("iq"), XmppNs::kClient,
                                {{QStringLiteral("type"), QStringLiteral("get")},
                                 {QStringLiteral("id"), QStringLiteral("ping%1").arg(++nextId_)}});
    iq.children.append(makeElement(QStringLiteral("ping"), XmppNs::kPing));
    writeRaw(writeStanza(iq));
    pingTimer_.start(pingAnswerTime);
}

void XmppConnection::writeRaw(const QByteArray& bytes)
{
    socket_.write(bytes);
}

void XmppConnection::finish(const QString& reason)
{
    if (step_ == Step::Offline)
        return;
    step_ = Step::Offline;
    for (QTimer* timer : {&stepTimer_, &idleTimer_, &pingTimer_})
        timer->stop();
    scram_.reset();
    socket_.flush();
    socket_.disconnectFromHost(); // after what is written, such as the stream's end
    Q_EMIT closed(reason);
}
