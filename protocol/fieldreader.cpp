#include "fieldreader.h"

#include <charconv>

int parseDecimal(QByteArrayView text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    const char* digits = (first != last && *first == '-') ? first + 1 : first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    // from_chars takes a lone "-" as no number, but accepts nothing like "+5" or " 5" either.
    if (digits == last || error != std::errc() || end != last)
        throw ProtocolError("'" + text.toByteArray().toStdString() + "' is not a valid integer value");
    return value;
}

QByteArray FieldReader::take()
{
    const qsizetype plus = text_.indexOf('+', position_);
    if (plus < 0)
        return rest();
    QByteArray field = text_.sliced(position_, plus - position_);
    position_ = plus + 1;
    return field;
}

QByteArray FieldReader::rest()
{
    QByteArray all = atEnd() ? QByteArray() : text_.sliced(position_);
    position_ = text_.size();
    return all;
}

int FieldReader::takeInt()
{
    return parseDecimal(take());
}
