#pragma once

#include "xmlelement.h"

#include <QByteArray>
#include <QList>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <deque>
#include <optional>

// Reads an XMPP stream as it arrives, in pieces of any size: the stream's opening tag, each
// whole stanza, and the stream's end. Everything it reads is hostile input: a stanza larger
// than kMaxStanzaBytes or nested deeper than kMaxDepth, a DTD, a processing instruction, an
// entity other than the five XML ones, or broken XML ends the stream with an error, and the
// reader reads nothing more until it is reset.
class StanzaReader {
public:
    static constexpr qsizetype kMaxStanzaBytes = 64 * 1024;
    static constexpr int kMaxDepth = 16; // below the stanza, which is depth 1

    struct Event {
        enum class Kind { StreamOpened, Stanza, StreamClosed, Error };
        Kind kind;
        // StreamOpened: the stream element without children (its attributes: from, id, version…);
        // Stanza: the stanza; Error: nothing but `error`.
        XmlElement element;
        QString error; // why the stream cannot be read, in plain words
    };

    // Reads the bytes that have arrived; what they complete waits in next().
    void feed(QByteArrayView bytes);
    // The next thing read, oldest first; nullopt when nothing more has completed.
    std::optional<Event> next();
    // Forgets everything read and waiting: for a stream that starts over (after STARTTLS and
    // after SASL success) or a new connection.
    void reset();

private:
    // Gives the XML reader bytes holding at most one '>', as their last byte, and reads what they complete.
    void read(QByteArrayView piece);
    void handle(QXmlStreamReader::TokenType token);
    void startElement();
    void endElement();
    void fail(const QString& why);
    // Reads nothing more until reset(), and lets go of what is buffered.
    void stop();

    QXmlStreamReader xml_;
    QStringDecoder utf8_{QStringDecoder::Utf8}; // checks the bytes: the XML reader lets bad UTF-8 through
    QByteArray held_; // the ']' or two that ended what arrived, until what follows them arrives
    std::deque<Event> events_;
    QList<XmlElement> open_;      // the stanza being read and its open descendants, outermost first
    qsizetype sinceBoundary_ = 0; // bytes given to xml_ since the stream's opening or the last stanza ended
    bool opened_ = false;
    bool stopped_ = false; // an error or the stream's end: nothing more is read until reset()
};
