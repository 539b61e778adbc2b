#pragma once

#include "httpcli.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// Where the lobby download and the hand-over look.
struct DownloadPlaces {
    QString address;      // of the lobby installer, an http:// address
    QString folder;       // where the installer is saved
    QString lobbyProgram; // the installed lobby

    // The installer beside our own executable (else in the user's downloads folder), the lobby
    // where its installer puts it (on Windows) or beside our own executable (elsewhere).
    static DownloadPlaces standard(const QString& address);
};

// Shown when a solo game starts: offers to download and install the lobby, to go on with the
// solo game, or to play with others: through an installed lobby, or else the program's own window.
class Tdownload : public QWidget {
    Q_OBJECT

public:
    // 1 while a download runs or has run normally, 2 once one was aborted or failed.
    enum DownloadState { kNoDownload = 0, kNormal = 1, kAborted = 2 };

    explicit Tdownload(DownloadPlaces places, QWidget* parent = nullptr);

    // Downloads the installer and starts it; the get runs while the event loop goes on.
    // Throws when the local file cannot be created.
    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click() { close(); }
    void Button2Click();

    int downloadState() const { return downloadState_; }

Q_SIGNALS:
    // The installer or the lobby has started: the program ends, as "Exit" ends it.
    void exitRequested();
    // "Play with Others" without a lobby beside the game: the program's own way to others.
    void othersRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 received);
    void install(const QString& installer);

    DownloadPlaces places_;
    QString fileName_; // the download's file name in places_.folder, once started
    HttpCli HttpCli1;
    int downloadState_ = kNoDownload;
    QPushButton* getbutton = nullptr;
    QPushButton* abortbutton = nullptr;
    QLabel* infolabel = nullptr;
    QLabel* infolabel2 = nullptr; // the local file name
    QLabel* infolabel3 = nullptr;
};
