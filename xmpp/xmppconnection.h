#pragma once

#include "stanzareader.h"
#include "xmlelement.h"

#include <QObject>
#include <QSslSocket>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class ScramSha1;

// A client's connection to an XMPP server: it connects out, requires TLS, signs in (anonymously,
// or with an account by SCRAM-SHA-1, or PLAIN over TLS) and binds a resource; then it carries
// stanzas both ways, answers the server's pings and pings a quiet server itself. Signing in
// as a whole has a time limit, and whatever goes wrong ends the connection with the reason in
// plain words.
class XmppConnection : public QObject {
    Q_OBJECT

public:
    struct Account {
        QString domain; // what the stream is opened to
        QString user;   // empty: anonymous sign-in
        QString password;
    };

    explicit XmppConnection(QObject* parent = nullptr);
    ~XmppConnection() override;

    // Times that tests may shorten.
    std::chrono::milliseconds stepTime{15'000}; // connecting, securing, signing in and binding, together
    std::chrono::milliseconds idleTime{60'000}; // a ping after this long without a word
    std::chrono::milliseconds pingAnswerTime{20'000};

    // Reaches the server at host:port. Certificates are checked against the system's authorities
    // and the one PINFALL_LOBBY_CA names, except on a loopback address: nothing leaves the machine.
    void connectToServer(const QString& host, quint16 port, const Account& account);
    // Ends the stream politely; closed() follows with no reason.
    void disconnectFromServer();

    bool isOnline() const { return step_ == Step::Online; }
    QString jid() const { return jid_; }
    void send(const XmlElement& stanza);

Q_SIGNALS:
    void online();
    // A message, a presence, or a request this connection does not answer itself.
    void stanzaReceived(const XmlElement& stanza);
    // The connection is over: why, in plain words; empty when this side ended it.
    void closed(const QString& reason);

private:
    enum class Step { Offline, Connecting, Features, Tls, Sasl, Bind, Online };

    void streamStarts();
    void readArrived();
    void handle(const XmlElement& stanza);
    void handleFeatures(const XmlElement& features);
    void handleSasl(const XmlElement& answer);
    void handleBind(const XmlElement& iq);
    void handleOnline(const XmlElement& stanza);
    void signIn(const XmlElement& mechanisms);
    void sslFailed(const QList<QSslError>& errors);
    void pingServer();
    void writeRaw(const QByteArray& bytes);
    // Ends the connection and says why (nothing: this side ended it).
    void finish(const QString& reason);

    QSslSocket socket_;
    StanzaReader reader_;
    Account account_;
    Step step_ = Step::Offline;
    bool authenticated_ = false;
    std::unique_ptr<ScramSha1> scram_;
    QString jid_;
    QTimer stepTimer_; // runs while signing in
    QTimer idleTimer_; // runs while online
    QTimer pingTimer_; // runs while a ping of ours waits for its answer
    int nextId_ = 0;
};
