#include "gamesounds.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

GameSounds::GameSounds()
{
    const QFileInfoList files = QDir(QStringLiteral(":/sounds")).entryInfoList({QStringLiteral("*.wav")});
    for (const QFileInfo& file : files)
        names_ << file.baseName().toLower();
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    for (const QFileInfo& file : files) {
        auto effect = std::make_shared<QSoundEffect>();
        effect->setSource(QUrl(QStringLiteral("qrc") + file.absoluteFilePath()));
        effects_.emplace(file.baseName().toLower(), std::move(effect));
    }
}

GameSounds::~GameSounds() = default;

void GameSounds::play(const QString& name)
{
    if (effects_.isEmpty())
        return; // no sound device
    const auto found = effects_.constFind(name.toLower());
    if (found == effects_.cend()) {
        QApplication::beep();
        return;
    }
    if (playing_ != nullptr)
        playing_->stop();
    playing_ = found->get();
    playing_->play();
}
