#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The client's side of SASL SCRAM-SHA-1 without channel binding: the first message, the
// answer to the server's challenge, and the check that the server knew the password too.
// What the server sends is hostile: a malformed challenge, a nonce that does not extend ours
// or an iteration count beyond kMostIterations is refused rather than answered.
class ScramSha1 {
public:
    // More rounds than any server needs; a server asking for more would keep us busy for nothing.
    static constexpr int kMostIterations = 100'000;

    ScramSha1(const QString& user, const QString& password, const QByteArray& clientNonce);

    QByteArray clientFirst() const;
    // The client's final message for the server's first one; nullopt when it cannot be answered.
    std::optional<QByteArray> clientFinal(const QByteArray& serverFirst);
    // True when the server's final message proves it holds the password.
    bool verifyServerFinal(const QByteArray& serverFinal) const;

private:
    QByteArray clientFirstBare_;
    QByteArray password_;
    QByteArray clientNonce_;
    QByteArray expectedServerSignature_;
};
