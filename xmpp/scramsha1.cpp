#include "scramsha1.h"

#include <QByteArrayList>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QPasswordDigestor>

namespace {

QByteArray hmac(const QByteArray& key, const QByteArray& message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha1);
}

// The value of `key=` in a message of comma-separated attributes; nullopt when absent.
std::optional<QByteArray> attribute(const QByteArray& message, char key)
{
    for (const QByteArray& part : message.split(',')) {
        if (part.size() >= 2 && part[0] == key && part[1] == '=')
            return part.mid(2);
    }
    return std::nullopt;
}

// A user name as SCRAM carries it: "," and "=" escaped.
QByteArray saslName(const QString& user)
{
    return user.toUtf8().replace('=', "=3D").replace(',', "=2C");
}

} // namespace

ScramSha1::ScramSha1(const QString& user, const QString& password, const QByteArray& clientNonce)
    : clientFirstBare_("n=" + saslName(user) + ",r=" + clientNonce),
      password_(password.toUtf8()),
      clientNonce_(clientNonce)
{}

QByteArray ScramSha1::clientFirst() const
{
    return "n,," + clientFirstBare_;
}

std::optional<QByteArray> ScramSha1::clientFinal(const QByteArray& serverFirst)
{
    const std::optional<QByteArray> nonce = attribute(serverFirst, 'r');
    const std::optional<QByteArray> salt = attribute(serverFirst, 's');
    const std::optional<QByteArray> rounds = attribute(serverFirst, 'i');
    if (!nonce || !salt || !rounds || !nonce->startsWith(clientNonce_) ||
        nonce->size() == clientNonce_.size())
        return std::nullopt;
    bool isNumber = false;
    const int iterations = rounds->toInt(&isNumber);
    const QByteArray saltBytes = QByteArray::fromBase64(*salt, QByteArray::AbortOnBase64DecodingErrors);
    if (!isNumber || iterations < 1 || iterations > kMostIterations || saltBytes.isEmpty())
        return std::nullopt;

    const QByteArray saltedPassword =
        QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha1, password_, saltBytes, iterations, 20);
    const QByteArray clientKey = hmac(saltedPassword, "Client Key");
    const QByteArray storedKey = QCryptographicHash::hash(clientKey, QCryptographicHash::Sha1);
    const QByteArray withoutProof = "c=biws,r=" + *nonce; // biws: "n,," in base64
    const QByteArray authMessage = clientFirstBare_ + ',' + serverFirst + ',' + withoutProof;
    const QByteArray clientSignature = hmac(storedKey, authMessage);
    QByteArray proof = clientKey;
    for (qsizetype index = 0; index < proof.size(); ++index)
        proof[index] = static_cast<char>(proof[index] ^ clientSignature[index]);
    expectedServerSignature_ = hmac(hmac(saltedPassword, "Server Key"), authMessage);
    return withoutProof + ",p=" + proof.toBase64();
}

bool ScramSha1::verifyServerFinal(const QByteArray& serverFinal) const
{
    const std::optional<QByteArray> signature = attribute(serverFinal, 'v');
    return !expectedServerSignature_.isEmpty() && signature &&
           *signature == expectedServerSignature_.toBase64();
}
