#pragma once

#include <QByteArray>

#include <stdexcept>

// A message field that should be a number and is not. Ends the handling of that one message.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Takes the fields of one message from the front. Fields are separated by "+"; the last field
// needs no "+" after it. What a handler has taken stays taken when a later field fails.
class FieldReader {
public:
    explicit FieldReader(QByteArray fields) : text_(std::move(fields)) {}

    // The text before the next "+" (all that is left if there is none), removed with its "+".
    QByteArray take();

    // The next field as a decimal number: an optional "-", then digits, within 32 bits.
    // Throws ProtocolError for anything else, an empty field included.
    int takeInt();

    // Everything that is left, "+" characters included.
    QByteArray rest();

    bool atEnd() const { return position_ >= text_.size(); }

private:
    QByteArray text_;
    qsizetype position_ = 0; // fields before it are taken
};

// Strict decimal conversion used for every number on the wire; throws ProtocolError.
int parseDecimal(QByteArrayView text);
