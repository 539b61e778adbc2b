#pragma once

#include <QByteArray>
#include <QList>

// Cuts the bytes of one connection into messages at the terminator byte 0xFF. TCP may split
// a message anywhere, so a trailing piece without its terminator is held and joined to the
// next bytes of the same connection.
class MessageReader {
public:
    static constexpr char kTerminator = '\xFF';
    // A peer that makes us hold more than this without a terminator is abusing the connection.
    static constexpr qsizetype kMaxHeld = 64 * 1024;

    // Appends every message that `bytes` completes to `messages`, in order; an empty piece
    // gives an empty message. Returns false, and forgets the held piece, when that piece has
    // grown past kMaxHeld: the owner should then close the connection.
    bool feed(QByteArrayView bytes, QList<QByteArray>& messages);

    qsizetype held() const { return held_.size(); }

private:
    QByteArray held_;
};
