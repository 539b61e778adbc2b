#pragma once

#include "messagereader.h"

#include <QByteArray>
#include <QByteArrayView>

// Puts one message together: the command word, then each field after a "+".
class Message {
public:
    explicit Message(const char* command) : bytes_(command) {}

    Message& field(QByteArrayView text)
    {
        bytes_ += '+';
        bytes_ += text;
        return *this;
    }
    Message& field(int number) { return field(QByteArray::number(number)); }

    QByteArray end()
    {
        bytes_ += MessageReader::kTerminator;
        return std::move(bytes_);
    }
    QByteArray endWithPlus()
    {
        bytes_ += '+';
        return end();
    }

private:
    QByteArray bytes_;
};
