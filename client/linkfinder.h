#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Finds the web address a reader points at in the chat's text.
struct ChatLink {
    qsizetype start = 0; // where the address starts in the text
    qsizetype length = 0;
    QString address; // as written, capitals kept
};

// The address in the word around `position`, if that word holds one: the word is cut at
// blanks and line ends, the address starts at the first of "http://", "ftp://", "file://",
// "gopher://", "telnet://", "news:", "mailto:", "www." found in it (in that order of
// precedence, without regard to case), and trailing characters other than "/", digits and
// letters are left off.
std::optional<ChatLink> findLink(QStringView text, qsizetype position);
