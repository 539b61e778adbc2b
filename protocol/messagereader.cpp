#include "messagereader.h"

bool MessageReader::feed(QByteArrayView bytes, QList<QByteArray>& messages)
{
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf(kTerminator); end >= 0; end = bytes.indexOf(kTerminator, start)) {
        const QByteArrayView piece = bytes.sliced(start, end - start);
        if (held_.isEmpty()) {
            messages.append(piece.toByteArray());
        } else {
            held_ += piece;
            messages.append(std::exchange(held_, {}));
        }
        start = end + 1;
    }
    held_ += bytes.sliced(start);
    if (held_.size() > kMaxHeld) {
        held_.clear();
        return false;
    }
    return true;
}
