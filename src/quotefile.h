// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef QUOTEFILE_H
#define QUOTEFILE_H

#include <QMap>
#include <QString>

#include <iosfwd>
#include <optional>

// Reads a quote file: lines in pairs, the first of each pair the key and the second its quote,
// both UTF-8, each line ending in LF or CR LF. A file that starts with a UTF-16 byte-order mark
// (Notepad's "Unicode") is read as UTF-16 in that byte order instead. A later pair with the same
// key wins; a last line without its pair is dropped. Gives nothing when the path is not a
// regular file that can be opened for reading.
std::optional<QMap<QString, QString>> readQuoteFile(const QString &path);

// The same reading of a stream already open, such as bytes in memory.
QMap<QString, QString> readQuotes(std::istream &in);

#endif // QUOTEFILE_H
