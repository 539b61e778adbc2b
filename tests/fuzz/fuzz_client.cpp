// Feeds arbitrary bytes to a game client as if its host had sent them. The client is one copy
// of the program, wired as the tests wire it, that has joined a stand-in host over loopback and
// logged in as Ann in slot 2; the stand-in gives that slot, then reads whatever the client sends
// and drops it.
//
// Input: the bytes the host sends, cut into messages at 0xFF as on the connection. After each
// message the turn clock ticks once if it runs, and the user makes one move of a fixed round
// (lay tiles, take one back, swap two, send), so that what the user does meets whatever the
// host said. At the end the score sheet is painted, as the window would paint it.
#include "faultreport.h"
#include "messages.h"
#include "numberfields.h"
#include "programfixture.h"
#include "pump.h"
#include "scorecard.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

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
        client->write(ToClient::sendlogininfo(kOwnSlot)); // the slot that completes the join
        if (!pump([this] { return !program_->play->isJoining(); }))
            abort();
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
        chat.chatPane().clear();
        program_->sounds.played.clear();
    }

    void userMove(int moveNumber)
    {
        Tchat& chat = program_->chat;
        const auto tile = [moveNumber](int offset) { return (moveNumber / 6 + offset) % 10 + 1; };
        switch (moveNumber % 6) {
        case 0:
            chat.session().pressTile(tile(0), true);
            break;
        case 1:
            chat.session().pressTile(tile(3), true);
            break;
        case 2:
            chat.session().takeBack(chat.session().rack().laidCount());
            break;
        case 3:
            chat.session().pressTile(tile(5), false);
            break;
        case 4:
            chat.session().pressTile(tile(7), true);
            break;
        default:
            chat.session().sendWord();
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

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    return mutateNumberFields(data, size, maxSize, seed);
}

// Fontconfig keeps a little memory that only its own clean-up frees, and that never runs here.
// The name is the leak checker's own hook.
extern "C" const char* __lsan_default_suppressions() // NOLINT(bugprone-reserved-identifier)
{
    return "leak:libfontconfig.so\n";
}
