// Feeds arbitrary bytes to a game client as if its host had sent them. The client is one copy
// of the program, wired as the tests wire it, that has joined a stand-in host over loopback and
// logged in as Ann in slot 2; the stand-in reads whatever the client sends and drops it.
//
// Input: the bytes the host sends, cut into messages at 0xFF as on the connection. After each
// message the turn clock ticks once if it runs, and the user makes one move of a fixed round
// (lay tiles, take one back, swap two, send), so that what the user does meets whatever the
// host said. At the end the score sheet is painted, as the window would paint it.
#include "faultreport.h"
#include "messages.h"
#include "programfixture.h"
#include "pump.h"
#include "scorecard.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

constexpr int kOwnSlot = 2;

// Answers every message box as soon as its own event loop runs, as a user clicking it away
// would ("Game is full" closes the window behind it).
class BoxCloser : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QMetaObject::invokeMethod(box, "reject", Qt::QueuedConnection);
        }
        return false;
    }
};

class Harness {
public:
    Harness()
    {
        FaultReport::setSink([](const QString&) {}); // broken numbers are expected here
        QCoreApplication::instance()->installEventFilter(&boxCloser_);
        host_.listen(QHostAddress::LocalHost, 0);
        program_ = std::make_unique<Program>(QString::number(host_.serverPort()));
        program_->chat.processparams(
            {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("false")});
        if (!pump([this] { return host_.hasPendingConnections(); }))
            abort(); // the harness itself is broken; nothing to learn from any input
        QTcpSocket* client = host_.nextPendingConnection();
        QObject::connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
        scoreCard_ = program_->chat.findChild<ScoreCard*>(QStringLiteral("scorecard"));
        files_ = program_->folder.path().toStdString();
    }

    // The files the copy keeps (settings, tally), for whoever ends the process.
    const std::string& files() const { return files_; }

    void run(const std::uint8_t* data, std::size_t size)
    {
        startAfresh();
        Tchat& chat = program_->chat;
        chat.session().queue().receive(&feeder_, QByteArrayView(data, static_cast<qsizetype>(size)));
        chat.session().queue().forget(&feeder_); // an unfinished last message never arrives
        for (int moveNumber = 0; chat.session().queue().size() > 0; ++moveNumber) {
            chat.session().queue().dispatchNext();
            if (chat.session().clockRuns())
                chat.session().tick();
            FaultReport::guard([&] { userMove(moveNumber); });
        }
        QImage sheet(scoreCard_->size(), QImage::Format_ARGB32_Premultiplied);
        scoreCard_->render(&sheet);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5); // the stand-in host reads
    }

private:
    // The same baseline for every input: logged in as Ann beside Bob, a new game with the rack
    // dealt, the turn clock run out, an empty chat and no spectators. The window stays hidden,
    // as "Game is full" would leave it anyway.
    void startAfresh()
    {
        Tchat& chat = program_->chat;
        QByteArray bytes = ToClient::sendlogininfo(kOwnSlot);
        for (int slot = 1; slot <= Tchat::kPlayerSlots; ++slot)
            bytes += ToClient::playerdisconnected(slot, "");
        for (const Spectator& spectator : chat.session().spectators())
            bytes += ToClient::playerdisconnected(spectator.slot, spectator.name.toLatin1());
        bytes += ToClient::newplayerinfo(1, "Bob") + ToClient::newplayerinfo(kOwnSlot, "Ann");
        bytes += ToClient::startgame("Bob", 60, "f");
        QList<DealtTile> tiles;
        for (int position = 1; position <= 10; ++position)
            tiles.append({position, "bandleader"[position - 1]});
        bytes += ToClient::theletters(0, tiles);
        bytes += ToClient::loadstats(kOwnSlot, 60, false, 0, {0, 0, 0, 0});
        chat.session().queue().receive(&feeder_, bytes);
        while (chat.session().queue().size() > 0)
            chat.session().queue().dispatchNext();
        chat.session().tick(); // one tick of a clock at 0 ends anybody's turn
        chat.ClearMainChat1Click();
        program_->sounds.played.clear();
    }

    void userMove(int moveNumber)
    {
        Tchat& chat = program_->chat;
        const auto tile = [moveNumber](int offset) { return (moveNumber / 6 + offset) % 10 + 1; };
        switch (moveNumber % 6) {
        case 0:
            chat.image_letters1MouseDown(tile(0), Qt::LeftButton);
            break;
        case 1:
            chat.image_letters1MouseDown(tile(3), Qt::LeftButton);
            break;
        case 2:
            chat.image_word1MouseUp(chat.session().rack().laidCount());
            break;
        case 3:
            chat.image_letters1MouseDown(tile(5), Qt::RightButton);
            break;
        case 4:
            chat.image_letters1MouseDown(tile(7), Qt::LeftButton);
            break;
        default:
            chat.button_sendClick();
            break;
        }
    }

    BoxCloser boxCloser_;
    QTcpServer host_;
    std::unique_ptr<Program> program_;
    ScoreCard* scoreCard_ = nullptr;
    TSock feeder_; // the connection the input arrives on, as far as the queue can tell
    std::string files_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_client";
    static char* argv[] = {name, nullptr};
    // Never taken down: at exit Qt's own statics may be gone before the windows are. Only the
    // copy's files go.
    static Harness* harness = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
        auto* made = new Harness;
        std::atexit([] { std::filesystem::remove_all(harness->files()); });
        return made;
    }();
    harness->run(data, size);
    return 0;
}

// Most of what a host can get wrong is in the numbers it sends, and byte mutations seldom make
// a number at the end of its range. So now and then one whole decimal field of the input
// becomes such a number; otherwise libFuzzer mutates as it always does.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    static constexpr std::array<std::string_view, 7> kNumbers{
        "-2147483648", "2147483647", "-1000000000", "1000000000", "-1", "0", "11"};
    std::minstd_rand random(seed);
    if (random() % 4 != 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto endsField = [&text](std::size_t at) {
        return at == text.size() || std::string_view("+*#\xFF").find(text[at]) != std::string_view::npos;
    };
    std::vector<std::pair<std::size_t, std::size_t>> fields; // where a number starts, its length
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && !endsField(at - 1))
            continue;
        std::size_t end = at < text.size() && text[at] == '-' ? at + 1 : at;
        const std::size_t digits = end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0)
            ++end;
        if (end > digits && endsField(end))
            fields.emplace_back(at, end - at);
    }
    if (fields.empty())
        return LLVMFuzzerMutate(data, size, maxSize);
    const auto [at, length] = fields[random() % fields.size()];
    const std::string_view number = kNumbers[random() % kNumbers.size()];
    if (size - length + number.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memmove(data + at + number.size(), data + at + length, size - at - length);
    std::memcpy(data + at, number.data(), number.size());
    return size - length + number.size();
}

// Fontconfig keeps a little memory that only its own clean-up frees, and that never runs here.
// The name is the leak checker's own hook.
extern "C" const char* __lsan_default_suppressions() // NOLINT(bugprone-reserved-identifier)
{
    return "leak:libfontconfig.so\n";
}
