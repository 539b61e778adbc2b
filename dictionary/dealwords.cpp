#include "dealwords.h"

#include <QFile>

DealWords::DealWords()
{
    QFile table(QStringLiteral(":/dealwords.txt"));
    if (!table.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (!line.isEmpty())
            words_.append(line);
    }
}

QByteArray DealWords::GetString(int id) const
{
    return id >= 0 && id < words_.size() ? words_.at(id) : QByteArray();
}
