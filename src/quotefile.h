#ifndef QUOTEFILE_H
#define QUOTEFILE_H

#include <QMap>
#include <QString>

#include <optional>

// Reads a quote file: lines in pairs, the first of each pair the key and the second its quote,
// both UTF-8. A later pair with the same key wins; a last line without its pair is dropped.
// Gives nothing when the path is not a regular file that can be opened for reading.
std::optional<QMap<QString, QString>> readQuoteFile(const QString &path);

#endif // QUOTEFILE_H
