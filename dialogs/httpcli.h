#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <stdexcept>

class QIODevice;
class QTcpSocket;

// A failed or aborted request: the status code (0 when no answer came) and its reason.
class HttpError : public std::runtime_error {
public:
    HttpError(int status, const QString& reason)
        : std::runtime_error(reason.toStdString()),
          status_(status),
          reason_(reason)
    {}
    int status() const { return status_; }
    const QString& reason() const { return reason_; }

private:
    int status_;
    QString reason_;
};

// A small HTTP/1.0 client for one job: fetching a file. Get runs to the end of the transfer
// while the event loop goes on (windows stay responsive and may call Abort meanwhile), follows
// redirects, writes the document into the device it is given and reports each header line,
// the beginning of the document and each piece of it. An answer of 400 or more, a document
// shorter than its announced length, or an abort (status 404, "Connection aborted on
// request") ends it with HttpError. It aborts itself
// when the program is shutting down.
class HttpCli : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxRedirects = 5;

    explicit HttpCli(QObject* parent = nullptr);
    ~HttpCli() override;

    QString URL;
    QByteArray UserAgent = "Mozilla/3.0 (compatible)";
    QByteArray Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

    std::function<void(const QByteArray& line)> OnHeaderData;
    std::function<void()> OnDocBegin;
    std::function<void(qint64 received)> OnDocData; // the document bytes received so far

    void Get(QIODevice* document);
    void Abort();
    int StatusCode() const { return status_; }

private:
    enum class Outcome { Done, Redirect };
    Outcome fetch(const QString& url, QIODevice* document, QString& redirect);

    QTcpSocket* socket_ = nullptr; // while a request runs
    bool aborted_ = false;
    int status_ = 0;
};
