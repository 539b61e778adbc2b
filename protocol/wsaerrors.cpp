#include "wsaerrors.h"

#include <algorithm>
#include <array>

namespace WsaErrors {
namespace {

struct Entry {
    int number;
    const char* name;
};

// The standard Windows Sockets errors, ascending by number.
constexpr std::array<Entry, 51> kNames{{
    {10004, "WSAEINTR"},           {10009, "WSAEBADF"},        {10013, "WSAEACCES"},
    {10014, "WSAEFAULT"},          {10022, "WSAEINVAL"},       {10024, "WSAEMFILE"},
    {10035, "WSAEWOULDBLOCK"},     {10036, "WSAEINPROGRESS"},  {10037, "WSAEALREADY"},
    {10038, "WSAENOTSOCK"},        {10039, "WSAEDESTADDRREQ"}, {10040, "WSAEMSGSIZE"},
    {10041, "WSAEPROTOTYPE"},      {10042, "WSAENOPROTOOPT"},  {10043, "WSAEPROTONOSUPPORT"},
    {10044, "WSAESOCKTNOSUPPORT"}, {10045, "WSAEOPNOTSUPP"},   {10046, "WSAEPFNOSUPPORT"},
    {10047, "WSAEAFNOSUPPORT"},    {10048, "WSAEADDRINUSE"},   {10049, "WSAEADDRNOTAVAIL"},
    {10050, "WSAENETDOWN"},        {10051, "WSAENETUNREACH"},  {10052, "WSAENETRESET"},
    {10053, "WSAECONNABORTED"},    {10054, "WSAECONNRESET"},   {10055, "WSAENOBUFS"},
    {10056, "WSAEISCONN"},         {10057, "WSAENOTCONN"},     {10058, "WSAESHUTDOWN"},
    {10059, "WSAETOOMANYREFS"},    {10060, "WSAETIMEDOUT"},    {10061, "WSAECONNREFUSED"},
    {10062, "WSAELOOP"},           {10063, "WSAENAMETOOLONG"}, {10064, "WSAEHOSTDOWN"},
    {10065, "WSAEHOSTUNREACH"},    {10066, "WSAENOTEMPTY"},    {10067, "WSAEPROCLIM"},
    {10068, "WSAEUSERS"},          {10069, "WSAEDQUOT"},       {10070, "WSAESTALE"},
    {10071, "WSAEREMOTE"},         {10091, "WSASYSNOTREADY"},  {10092, "WSAVERNOTSUPPORTED"},
    {10093, "WSANOTINITIALISED"},  {10101, "WSAEDISCON"},      {11001, "WSAHOST_NOT_FOUND"},
    {11002, "WSATRY_AGAIN"},       {11003, "WSANO_RECOVERY"},  {11004, "WSANO_DATA"},
}};

static_assert(std::is_sorted(kNames.begin(), kNames.end(),
                             [](const Entry& a, const Entry& b) { return a.number < b.number; }));

} // namespace

QString name(int number)
{
    const auto* entry = std::lower_bound(kNames.begin(), kNames.end(), number,
                                         [](const Entry& e, int n) { return e.number < n; });
    if (entry == kNames.end() || entry->number != number)
        return QStringLiteral("UNKNOWN ERROR");
    return QString::fromLatin1(entry->name);
}

int fromQt(QAbstractSocket::SocketError error)
{
    using E = QAbstractSocket::SocketError;
    switch (error) {
    case E::ConnectionRefusedError:
        return 10061;
    case E::RemoteHostClosedError:
        return 10054;
    case E::HostNotFoundError:
        return 11001;
    case E::SocketAccessError:
        return 10013;
    case E::SocketResourceError:
        return 10055;
    case E::SocketTimeoutError:
        return 10060;
    case E::DatagramTooLargeError:
        return 10040;
    case E::NetworkError:
        return 10051;
    case E::AddressInUseError:
        return 10048;
    case E::SocketAddressNotAvailableError:
        return 10049;
    case E::UnsupportedSocketOperationError:
        return 10045;
    case E::UnfinishedSocketOperationError:
        return 10036;
    case E::TemporaryError:
        return 10035;
    case E::OperationError:
        return 10022;
    default:
        return kUnknown;
    }
}

QString report(int number)
{
    return QStringLiteral("Error #%1 (%2)").arg(number).arg(name(number));
}

} // namespace WsaErrors
