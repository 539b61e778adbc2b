#include "scriptedclient.h"

#include <QTest>

bool ScriptedClient::connectTo(quint16 port)
{
    socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket_.waitForConnected(5000))
        return false;
    return QTest::qWaitFor(
        [this] {
            readAll();
            return !messages_.isEmpty();
        },
        5000);
}

int ScriptedClient::join(quint16 port, const QByteArray& name, const QByteArray& version)
{
    if (!connectTo(port))
        return 0;
    const QByteArray hello = waitFor("CMD_sendlogininfo+", 1);
    if (hello.isEmpty())
        return 0;
    slot_ = hello.mid(int(sizeof "CMD_sendlogininfo+") - 1).toInt();
    send("CMD_logininfo+" + QByteArray::number(slot_) + '+' + version + '+' + name + "\xFF\xFF");
    if (waitFor("CMD_newplayerinfo+" + QByteArray::number(slot_) + '+').isEmpty())
        return 0;
    return slot_;
}

void ScriptedClient::send(const QByteArray& bytes)
{
    socket_.write(bytes);
    socket_.flush();
}

QList<int> ScriptedClient::positionsFor(const QByteArray& word) const
{
    QList<int> positions;
    for (const char letter : word) {
        for (auto tile = tiles_.cbegin(); tile != tiles_.cend(); ++tile) {
            if (tile.value() == letter && !positions.contains(tile.key())) {
                positions.append(tile.key());
                break;
            }
        }
    }
    return positions;
}

QByteArray ScriptedClient::rackLetters() const
{
    QByteArray letters;
    for (const char letter : tiles_)
        letters += letter;
    return letters;
}

void ScriptedClient::sendWord(const QByteArray& word)
{
    QByteArray message = "CMD_sendword+" + QByteArray::number(slot_);
    const QList<int> positions = positionsFor(word);
    lastWord_ = positions;
    for (const int position : positions)
        message += '+' + QByteArray::number(position);
    send(message + '\xFF');
}

void ScriptedClient::readAll()
{
    if (socket_.isOpen())
        pending_ += socket_.readAll();
    for (qsizetype end = pending_.indexOf('\xFF'); end >= 0; end = pending_.indexOf('\xFF')) {
        messages_.append(pending_.first(end));
        pending_.remove(0, end + 1);
    }
    for (; seen_ < messages_.size(); ++seen_)
        takeLetters(messages_.at(seen_));
}

void ScriptedClient::takeLetters(const QByteArray& message)
{
    if (message.startsWith("CMD_goodword+")) {
        for (const int position : std::as_const(lastWord_))
            tiles_.remove(position);
        return;
    }
    if (!message.startsWith("CMD_theletters+"))
        return;
    const QList<QByteArray> fields = message.split('+');
    tiles_.clear();
    for (qsizetype i = 2; i + 1 < fields.size(); i += 2) {
        const char letter = fields[i + 1].isEmpty() ? '\0' : fields[i + 1][0];
        tiles_.insert(fields[i].toInt(), letter);
    }
}

QList<QByteArray> ScriptedClient::receivedStarting(const QByteArray& prefix) const
{
    QList<QByteArray> matching;
    for (const QByteArray& message : messages_) {
        if (message.startsWith(prefix))
            matching.append(message);
    }
    return matching;
}

QByteArray ScriptedClient::waitFor(const QByteArray& prefix, int timeoutMs)
{
    qsizetype found = -1;
    const auto scan = [&] {
        readAll();
        for (qsizetype i = 0; i < messages_.size(); ++i) {
            if (messages_.at(i).startsWith(prefix)) {
                found = i;
                return true;
            }
        }
        return false;
    };
    if (!scan() && !QTest::qWaitFor(scan, timeoutMs))
        return {};
    // Later waits look past what this one found.
    --seen_;
    return messages_.takeAt(found);
}

void ScriptedClient::settle(int ms)
{
    QTest::qWait(ms);
    readAll();
}

bool ScriptedClient::waitClosed(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            readAll();
            return socket_.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}
