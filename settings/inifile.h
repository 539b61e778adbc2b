#pragma once

#include <QString>

// Reads and writes one INI file the way the Windows profile functions do, because the file is
// shared with the lobby and its other games: section and key names match without regard to
// case, the first match wins, values are trimmed, and every call opens, uses and closes the
// file. A write changes only the line of its key (or adds it, and the section if need be);
// every other section, key, comment and blank line stays exactly as it was.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // A value that is not a whole number gives the fallback.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // False when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value) const;

    const QString& path() const { return path_; }

private:
    QString path_;
};
