#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <array>
#include <functional>

// Where the dictionary finds its list and keeps its working file.
struct DictionaryPlaces {
    QString builtInList = QStringLiteral(":/TEXT_DEMO");
    QString workingFolder;  // empty: the current directory
    QString fallbackFolder; // empty: the per-user cache folder
};

// The dictionary: decides whether a text is a word. The list is never held in memory; it
// lives in a working file of 15-byte records in ascending order (a count byte, then the word
// in capitals cut to 14 letters and padded with blanks), and each lookup is a binary search
// that reads one record at a time. The file is read through a read-only mapping where the
// platform offers one: a system call per record would cost more than the whole search.
//
// The working file "English" is written from the built-in list at construction unless one is
// there already (then it is used as it is), and deleted at destruction. It goes in the current
// directory; where that cannot be written, in the per-user cache folder instead.
class TDictn {
public:
    // Tells the user about a dictionary that cannot be opened (a message box in the program).
    using Reporter = std::function<void(const QString& message)>;

    static constexpr char kWorkingFileName[] = "English";
    static constexpr int kRecordSize = 15;
    static constexpr int kKeyWidth = 15;
    static constexpr qsizetype kMaxText = 255;

    explicit TDictn(Reporter report, DictionaryPlaces places = {});
    ~TDictn();
    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    // Whether the text is in the list, ignoring case and surrounding blanks. Only the first
    // 255 characters count; no text of 15 or more letters is ever found, and a text of 14
    // letters matches a longer word that starts with it.
    bool wordexists(QByteArrayView text);

    bool isOpen() const { return open_; }
    QString workingFile() const { return workingPath_; }
    // Records read by the last lookup.
    int lastLookupReads() const { return lookupReads_; }

private:
    void opendictionary();
    void closedictionary();
    QString prepareWorkingFile();
    bool readRecord(qint32 index);

    Reporter report_;
    DictionaryPlaces places_;
    QString workingPath_;
    QFile file_;
    const uchar* mapped_ = nullptr; // the whole file, when it could be mapped
    qint32 lastIndex_ = -1;
    bool open_ = false;
    std::array<char, 16> recordBuffer_{}; // each read fills the first 15 bytes
    int lookupReads_ = 0;
};
