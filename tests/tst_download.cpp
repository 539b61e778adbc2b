// The lobby download window against an HTTP server of the test's own on loopback; the
// installer and the lobby are never really started.
#include "boxanswerer.h"
#include "faultreport.h"
#include "httptestserver.h"
#include "shellopen.h"
#include "tdownload.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Opened {
    QString file;
    QStringList arguments;
};

QByteArray installerBytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 % 253);
    return bytes;
}

// A download window saving into a folder of its own, with the shell's open recorded.
struct DownloadWindow {
    QTemporaryDir folder;
    HttpTestServer server;
    Tdownload window;
    QList<Opened> opened;
    bool shellStarts = true;
    QSignalSpy exits{&window, &Tdownload::exitRequested};

    DownloadWindow()
        : window({server.url("/lobby/vrlsetup.exe"), folder.path(),
                  folder.filePath(QStringLiteral("Varo11Lobby"))})
    {
        ShellOpen::opener() = [this](const QString& file, const QStringList& arguments) {
            opened << Opened{file, arguments};
            return shellStarts;
        };
    }
    ~DownloadWindow()
    {
        ShellOpen::opener() = [](const QString&, const QStringList&) { return false; };
    }

    QString text(const char* label) const
    {
        return window.findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    QPushButton* button(const char* name) const
    {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString savedFile() const { return folder.filePath(QStringLiteral("vrlsetup.exe")); }
};

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowOffersThreeWays();
    void completedDownloadStartsTheInstaller();
    void installerThatCannotStartIsReported();
    void failedDownloadStartsNothing_data();
    void failedDownloadStartsNothing();
    void stopBeforeAnyDownload();
    void fullDiskLeavesNoPartialFile();
    void uncreatableFileStartsNoDownload();
    void handOverToTheLobby();
};

void TestDownload::windowOffersThreeWays()
{
    DownloadWindow download;
    QCOMPARE(download.window.windowTitle(), QStringLiteral("Download The Varo11 Lobby"));
    QCOMPARE(download.window.size(), QSize(724, 500));
    QVERIFY(download.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(download.button("getbutton")->text(),
             QStringLiteral("Download And Install The Varo11 Lobby Now"));
    QVERIFY(download.button("abortbutton")->isEnabled());
    QVERIFY(download.window.findChild<QLabel*>(QStringLiteral("infolabel2"))->isHidden());
    download.window.show();
    download.button("Button1")->click(); // "Play Solo Game"
    QVERIFY(download.window.isHidden());
    QCOMPARE(download.exits.count(), 0);
}

void TestDownload::completedDownloadStartsTheInstaller()
{
    DownloadWindow download;
    const QByteArray installer = installerBytes(150000);
    bool begun = false;
    QString progressAtDocBegin;
    QString statusAtDocBegin;
    bool getDisabledMeanwhile = false;
    download.server.answer = [&](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n", false);
        // The headers are in before any of the document is sent.
        begun = QTest::qWaitFor(
            [&] { return download.text("infolabel3").startsWith(QStringLiteral("Downloading")); });
        progressAtDocBegin = download.text("infolabel");
        statusAtDocBegin = download.text("infolabel3");
        getDisabledMeanwhile = !download.button("getbutton")->isEnabled();
        reply(client, installer);
    };
    download.window.getbuttonClick();
    QVERIFY(begun);
    QVERIFY(getDisabledMeanwhile);

    QCOMPARE(progressAtDocBegin, QStringLiteral("Loading..")); // a dot for each header line
    QCOMPARE(statusAtDocBegin, QStringLiteral("Downloading: vrlsetup.exe"));
    QCOMPARE(download.text("infolabel"), QStringLiteral("Received 150000 bytes"));
    QCOMPARE(download.text("infolabel3"), QStringLiteral("Installing"));
    QCOMPARE(download.window.downloadState(), int(Tdownload::kNormal));
    QFile saved(download.savedFile());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll() == installer);
    QCOMPARE(download.opened.size(), 1);
    QCOMPARE(download.opened[0].file, download.savedFile());
    QCOMPARE(download.opened[0].arguments, (QStringList{"/SP-", "/silent", "/noicons"}));
    QCOMPARE(download.exits.count(), 1); // the installer replaces the program
    QVERIFY(download.button("getbutton")->isEnabled());
    QVERIFY(!download.button("abortbutton")->isEnabled());

    const QList<QByteArray> request = download.server.lastRequest.split('\n');
    QCOMPARE(request.value(0), QByteArray("GET /lobby/vrlsetup.exe HTTP/1.0\r"));
    QVERIFY(request.contains("User-Agent: Mozilla/3.0 (compatible)\r"));
    QVERIFY(request.contains("Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r"));
}

void TestDownload::installerThatCannotStartIsReported()
{
    DownloadWindow download;
    download.shellStarts = false;
    download.server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + installerBytes(10));
    };
    BoxAnswerer answerer;
    download.window.getbuttonClick();
    QCOMPARE(answerer.text(), QStringLiteral("An Error has Occurred."));
    QCOMPARE(download.opened.size(), 1);
    QCOMPARE(download.exits.count(), 0);
}

void TestDownload::failedDownloadStartsNothing_data()
{
    QTest::addColumn<bool>("aborted");
    QTest::addColumn<QString>("status");
    QTest::newRow("not found") << false << QStringLiteral("The server answered 404 Not Found");
    QTest::newRow("Stop Download") << true << QStringLiteral("Download Aborted");
}

void TestDownload::failedDownloadStartsNothing()
{
    QFETCH(bool, aborted);
    QFETCH(QString, status);
    DownloadWindow download;
    bool dataCame = !aborted;
    download.server.answer = [&](QTcpSocket* client, const QByteArray&) {
        if (!aborted) {
            reply(client, "HTTP/1.0 404 Not Found\r\n\r\nno such file");
            return;
        }
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + installerBytes(5000), false); // and then nothing more
        dataCame =
            QTest::qWaitFor([&] { return download.text("infolabel") == QStringLiteral("5000 bytes"); });
        download.button("abortbutton")->click();
    };
    download.window.getbuttonClick();
    QVERIFY(dataCame);
    QCOMPARE(download.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(download.text("infolabel3"), status);
    QCOMPARE(download.window.downloadState(), int(Tdownload::kAborted));
    QVERIFY(!QFile::exists(download.savedFile())); // nothing half downloaded is left behind
    QVERIFY(download.opened.isEmpty());
    QCOMPARE(download.exits.count(), 0);
    QVERIFY(download.button("getbutton")->isEnabled());
    QVERIFY(!download.button("abortbutton")->isEnabled());
}

void TestDownload::stopBeforeAnyDownload()
{
    DownloadWindow download;
    download.button("abortbutton")->click();
    QCOMPARE(download.text("infolabel"), QStringLiteral("Download has been aborted."));
    QCOMPARE(download.text("infolabel3"), QStringLiteral("Download Aborted"));
    QCOMPARE(download.window.downloadState(), int(Tdownload::kAborted));

    download.server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + installerBytes(2048));
    };
    download.button("getbutton")->click();
    QCOMPARE(download.text("infolabel"), QStringLiteral("Received 2048 bytes"));
    QCOMPARE(download.opened.size(), 1);
}

void TestDownload::fullDiskLeavesNoPartialFile()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("needs a device that is always full");
    DownloadWindow download;
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), download.savedFile()));
    download.server.answer = [](QTcpSocket* client, const QByteArray&) {
        reply(client, "HTTP/1.0 200 OK\r\n\r\n" + installerBytes(4096));
    };
    download.window.getbuttonClick();
    QCOMPARE(download.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(download.window.downloadState(), int(Tdownload::kAborted));
    QVERIFY(!QFileInfo(download.savedFile()).isSymLink());
    QVERIFY(!QFile::exists(download.savedFile()));
    QVERIFY(download.opened.isEmpty());
}

void TestDownload::uncreatableFileStartsNoDownload()
{
    QTemporaryDir folder;
    Tdownload window({QStringLiteral("http://127.0.0.1:9/lobby/vrlsetup.exe"),
                      folder.filePath(QStringLiteral("gone")), QString()});
    QStringList reports;
    const FaultReport::Sink previous =
        FaultReport::setSink([&reports](const QString& text) { reports << text; });
    auto* get = window.findChild<QPushButton*>(QStringLiteral("getbutton"));
    get->click();
    FaultReport::setSink(previous);
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports[0].contains(QStringLiteral("vrlsetup.exe")));
    QVERIFY(get->isEnabled());
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("infolabel"))->text(), QString());
}

void TestDownload::handOverToTheLobby()
{
    DownloadWindow download;
    QSignalSpy others(&download.window, &Tdownload::othersRequested);
    download.window.show();
    download.button("Button2")->click();
    QCOMPARE(others.count(), 1);
    QVERIFY(download.window.isHidden());
    QCOMPARE(download.exits.count(), 0);
    QFile lobby(download.folder.filePath(QStringLiteral("Varo11Lobby")));
    QVERIFY(lobby.open(QIODevice::WriteOnly));
    lobby.close();
    download.shellStarts = false; // the program ends whatever the shell answers
    download.button("Button2")->click();
    QCOMPARE(others.count(), 1);
    QCOMPARE(download.opened.size(), 1);
    QCOMPARE(download.opened[0].file, lobby.fileName());
    QCOMPARE(download.opened[0].arguments, QStringList());
    QCOMPARE(download.exits.count(), 1);
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
