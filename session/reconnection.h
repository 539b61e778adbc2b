#pragma once

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <functional>
#include <memory>

class GameSession;
class HostRoute;

// Gets a session whose connection dropped during a game back into its seat. It tries at once,
// then 2, 5 and 10 seconds later, each time by a fresh route to the host (an address, or a
// lobby connection of its own), and says how it ended. The route of the try that worked
// carries the game from then on, so it lives here until the next drop.
class Reconnection : public QObject {
    Q_OBJECT

public:
    using RouteMaker = std::function<std::unique_ptr<HostRoute>()>;
    static constexpr std::array kWaits{0, 2, 5, 10}; // seconds before each try

    // `makeRoute` gives the way to the host the session was in a game with, or nothing when
    // there is none.
    Reconnection(GameSession& session, RouteMaker makeRoute, QObject* parent = nullptr);
    ~Reconnection() override;

    bool isTrying() const { return trying_; }
    // The player gives up: no more tries.
    void stop();
    // The session has left the game: the route that carried it goes, and no try is made.
    void forget();
    // One second of the waits; a test makes it short.
    std::chrono::milliseconds second{1000};

Q_SIGNALS:
    void trying();
    void back();
    void gaveUp(const QString& why);

private:
    void lost();
    void tryAgain();
    void failed(const QString& why);
    void finish(bool succeeded, const QString& why = {});

    GameSession& session_;
    RouteMaker makeRoute_;
    std::unique_ptr<HostRoute> route_;
    QTimer wait_;
    std::size_t tries_ = 0;
    bool trying_ = false;
};
