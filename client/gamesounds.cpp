#include "gamesounds.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>

GameSounds::GameSounds()
{
    // Picked by hand: a name filter would start the regular expression engine for this alone.
    const QFileInfoList files = QDir(QStringLiteral(":/sounds")).entryInfoList(QDir::Files);
    for (const QFileInfo& file : files) {
        if (file.suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0)
            sounds_.insert(file.baseName().toLower(),
                           {QUrl(QStringLiteral("qrc") + file.absoluteFilePath()), {}});
    }
}

GameSounds::~GameSounds() = default;

void GameSounds::prepare()
{
    if (!haveDevice_)
        haveDevice_ = !QMediaDevices::audioOutputs().isEmpty();
}

void GameSounds::play(const QString& name)
{
    prepare();
    if (!*haveDevice_)
        return;
    const auto found = sounds_.find(name.toLower());
    if (found == sounds_.end()) {
        QApplication::beep();
        return;
    }
    if (!found->effect) {
        // It plays as soon as it has loaded, a matter of milliseconds for these short sounds.
        found->effect = std::make_shared<QSoundEffect>();
        found->effect->setSource(found->source);
    }
    if (playing_ != nullptr)
        playing_->stop();
    playing_ = found->effect.get();
    playing_->play();
}
