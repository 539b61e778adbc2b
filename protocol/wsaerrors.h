#pragma once

#include <QAbstractSocket>
#include <QString>

// Socket errors are reported with the Windows Sockets numbers and names on every platform,
// because that is how peers and users of the program have always seen them.
namespace WsaErrors {

inline constexpr int kUnknown = -1;

// "WSAECONNREFUSED" for 10061 and so on; "UNKNOWN ERROR" for a number without a name.
QString name(int number);

// The Windows Sockets number that matches one of Qt's socket errors; kUnknown if none does.
int fromQt(QAbstractSocket::SocketError error);

// "Error #10061 (WSAECONNREFUSED)".
QString report(int number);

} // namespace WsaErrors
