#include "joinattempt.h"

#include "messages.h"

#include <array>
#include <utility>

namespace {

// What a player can make of the errors that meet a connection; the report itself for the rest.
QString inPlainWords(const QString& report)
{
    static constexpr std::array<std::pair<const char*, const char*>, 6> kPlain{{
        {"WSAECONNREFUSED", "nothing is listening at that address and port"},
        {"WSAETIMEDOUT", "the host did not answer"},
        {"WSAEHOSTUNREACH", "that address cannot be reached"},
        {"WSAENETUNREACH", "that address cannot be reached"},
        {"WSAHOST_NOT_FOUND", "no computer has that name"},
        {"Could Not Find Host Entry", "no computer has that name"},
    }};
    for (const auto& [name, words] : kPlain) {
        if (report.contains(QLatin1String(name)))
            return QString::fromLatin1(words);
    }
    return report;
}

bool startsCommand(const QByteArray& message, const char* command)
{
    return message.startsWith(command) && message.mid(static_cast<qsizetype>(qstrlen(command)), 1) == "+";
}

} // namespace

JoinAttempt::JoinAttempt(QString address, QString port, std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent),
      address_(std::move(address)),
      port_(std::move(port))
{
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(timeout);
    connect(&answerTimer_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("the host did not answer")); });
    sock_.OnInfo = [this](TSock*, TSocketInfo kind, const QString& text) { connectionInfo(kind, text); };
    sock_.OnRead = [this](TSock*, qsizetype) { readArrived(); };
}

QString JoinAttempt::failure(const QString& address, const QString& port, const QString& reason)
{
    return QStringLiteral("Could not join the game at %1, port %2: %3.")
        .arg(address, port, inPlainWords(reason));
}

QString JoinAttempt::failure(const QString& gameName, const QString& reason)
{
    return QStringLiteral("Could not join the game %1: %2.").arg(gameName, inPlainWords(reason));
}

void JoinAttempt::start()
{
    answerTimer_.start();
    try {
        sock_.setHostName(address_);
        sock_.setPortName(port_);
        sock_.open();
    } catch (const ESockException& error) {
        fail(QString::fromStdString(error.what()));
    }
}

void JoinAttempt::startOver(StreamTransport* stream, const QString& gameName)
{
    gameName_ = gameName;
    answerTimer_.start();
    sock_.adoptConnected(stream);
}

void JoinAttempt::readArrived()
{
    if (finished_)
        return;
    const QByteArray bytes = sock_.receive();
    received_ += bytes;
    QList<QByteArray> messages;
    if (!reader_.feed(bytes, messages)) {
        fail(QStringLiteral("the host sent what no game host sends"));
        return;
    }
    for (const QByteArray& message : std::as_const(messages)) {
        if (startsCommand(message, CMD_full)) {
            hostAnswered_ = true;
            fail(QStringLiteral("Game is full"));
            return;
        }
        if (startsCommand(message, CMD_sendlogininfo)) {
            hostAnswered_ = true;
            finished_ = true;
            answerTimer_.stop();
            Q_EMIT slotGiven();
            return;
        }
    }
}

void JoinAttempt::connectionInfo(TSocketInfo kind, const QString& text)
{
    if (kind == TSocketInfo::Error)
        fail(text);
    else if (text == QStringLiteral("Socket Closed"))
        fail(QStringLiteral("the host closed the connection"));
}

void JoinAttempt::fail(const QString& reason)
{
    if (finished_)
        return;
    finished_ = true;
    answerTimer_.stop();
    sock_.close(); // its "Socket Closed" finds the attempt finished
    const QString why = gameName_.isEmpty() ? failure(address_, port_, reason) : failure(gameName_, reason);
    // Told after the handler that found out, so that the attempt may be deleted on hearing it.
    QMetaObject::invokeMethod(
        this, [this, why] { Q_EMIT failed(why); }, Qt::QueuedConnection);
}
