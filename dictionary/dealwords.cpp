#include "dealwords.h"

#include <QResource>

DealWords::DealWords() : text_(QResource(QStringLiteral(":/dealwords.txt")).uncompressedData())
{
    for (qsizetype start = 0; start < text_.size();) {
        qsizetype end = text_.indexOf('\n', start);
        if (end < 0)
            end = text_.size();
        if (end > start)
            starts_.push_back(static_cast<quint32>(start));
        start = end + 1;
    }
}

QByteArray DealWords::GetString(int id) const
{
    if (id < 0 || id >= count())
        return {};
    const qsizetype start = starts_[static_cast<std::size_t>(id)];
    const qsizetype end = text_.indexOf('\n', start);
    return text_.mid(start, (end < 0 ? text_.size() : end) - start);
}
