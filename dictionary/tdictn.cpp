#include "tdictn.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

#include <string_view>

namespace {

// Blanks for zero bytes, no blanks at either end.
std::string_view trimmedKey(char* text, qsizetype length)
{
    std::replace(text, text + length, '\0', ' ');
    std::string_view key(text, static_cast<std::size_t>(length));
    const auto first = key.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return key.substr(first, key.find_last_not_of(' ') - first + 1);
}

// Pads with blanks to the key width (a longer text stays whole) and capitalises a to z.
std::string paddedUpper(std::string_view text, std::size_t width)
{
    std::string key(text);
    if (key.size() < width)
        key.resize(width, ' ');
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

// The list's bytes up to its first zero byte, read where they lie (in the program, or in the
// resource system's one unpacked copy) for as long as `list` is open: a copy of its own would
// cost as much memory again as the list.
QByteArrayView builtInWords(QFile& list)
{
    if (!list.open(QIODevice::ReadOnly) || list.size() == 0)
        return {};
    const uchar* bytes = list.map(0, list.size());
    if (bytes == nullptr)
        return {};
    QByteArrayView words(bytes, list.size());
    if (const qsizetype zero = words.indexOf('\0'); zero >= 0)
        words.truncate(zero);
    return words;
}

bool writeWholeFile(const QString& path, QByteArrayView bytes)
{
    // Written aside and renamed into place, so a crash never leaves a half list to be reused.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size() &&
           file.commit();
}

} // namespace

TDictn::TDictn(Reporter report, DictionaryPlaces places)
    : report_(std::move(report)),
      places_(std::move(places))
{
    opendictionary();
}

TDictn::~TDictn()
{
    closedictionary();
}

QString TDictn::prepareWorkingFile()
{
    const QString working = places_.workingFolder.isEmpty() ? QDir::currentPath() : places_.workingFolder;
    QString workingPath = QDir(working).filePath(QString::fromLatin1(kWorkingFileName));
    if (QFile::exists(workingPath))
        return workingPath;

    QFile list(places_.builtInList);
    const QByteArrayView words = builtInWords(list);
    if (words.isEmpty())
        return workingPath; // nothing to write: the open fails and says so
    if (writeWholeFile(workingPath, words))
        return workingPath;

    const QString fallback = places_.fallbackFolder.isEmpty()
                                 ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                                 : places_.fallbackFolder;
    QString fallbackPath = QDir(fallback).filePath(QString::fromLatin1(kWorkingFileName));
    if (!QFile::exists(fallbackPath) && QDir().mkpath(fallback))
        writeWholeFile(fallbackPath, words);
    return fallbackPath;
}

void TDictn::opendictionary()
{
    workingPath_ = prepareWorkingFile();
    file_.setFileName(workingPath_);
    // Lookups only read, so a working file that is read-only serves as well.
    open_ = file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (!open_) {
        if (report_)
            report_(QStringLiteral("English.dic dictionary not found!"));
        return;
    }
    lastIndex_ = static_cast<qint32>(file_.size() / kRecordSize) - 1;
    if (file_.size() > 0)
        mapped_ = file_.map(0, file_.size());
}

void TDictn::closedictionary()
{
    file_.close(); // also unmaps
    mapped_ = nullptr;
    open_ = false;
    if (!workingPath_.isEmpty())
        QFile::remove(workingPath_);
}

bool TDictn::readRecord(qint32 index)
{
    ++lookupReads_;
    const qint64 offset = qint64{index} * kRecordSize;
    if (mapped_ != nullptr) {
        std::copy_n(mapped_ + offset, kRecordSize, recordBuffer_.begin());
        return true;
    }
    return file_.seek(offset) && file_.read(recordBuffer_.data(), kRecordSize) == kRecordSize;
}

bool TDictn::wordexists(QByteArrayView text)
{
    lookupReads_ = 0;
    if (!open_)
        return false;
    QByteArray raw = text.first(std::min(text.size(), kMaxText)).toByteArray();
    const std::string_view trimmed = trimmedKey(raw.data(), raw.size());
    if (trimmed.empty())
        return false;
    const std::string searchKey = paddedUpper(trimmed, kKeyWidth);

    qint32 low = 0;
    qint32 high = lastIndex_;
    while (high >= low) {
        const qint32 middle = low + (high - low) / 2;
        if (!readRecord(middle))
            return false;
        // The count byte limits the word only when it is below 14.
        const auto count = static_cast<unsigned char>(recordBuffer_[0]);
        const qsizetype wordLength = count < kRecordSize - 1 ? count : kRecordSize - 1;
        std::array<char, kRecordSize> word{};
        std::copy_n(recordBuffer_.begin() + 1, wordLength, word.begin());
        const std::string recordKey =
            paddedUpper(trimmedKey(word.data(), wordLength), kKeyWidth).substr(0, kKeyWidth);

        // std::string compares bytes as unsigned, the shorter first on a tie.
        const int order = recordKey.compare(searchKey);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}
