#pragma once

// Who can find the game hosted here, besides those who know its address: nobody, players on
// the local network, everyone in the internet lobby, or those given the game's invite code.
enum class Hosting { Unseen, LocalNetwork, InternetListed, InternetByInvitation };

constexpr bool onTheInternet(Hosting hosting)
{
    return hosting == Hosting::InternetListed || hosting == Hosting::InternetByInvitation;
}
