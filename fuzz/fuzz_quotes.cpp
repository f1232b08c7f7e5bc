// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// Feeds arbitrary bytes to the quote file reader as a file's contents and checks what must hold
// for any file, and that the sorted build gives what inserting pair after pair gives. It reads
// from memory: writing a file per run would leave the fuzzer waiting on the disk.
#include "quotefile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace
{

// Lines as std::getline sees them: a last line without a line feed still counts.
size_t lineCount(const uint8_t *data, size_t size)
{
    size_t lines = 0;
    for (size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    return lines + (size > 0 && data[size - 1] != '\n');
}

// The straightforward reading: lines split at LF, a CR right before a LF dropped, each pair
// inserted in turn so that a later one wins. A file with a UTF-16 mark reads as its UTF-8.
QMap<QString, QString> reference(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes.at(0) == '\xFE';
        QString text;
        for (int i = 2; i + 1 < bytes.size(); i += 2)
            text += QChar(uchar(bytes.at(i + bigEndian)), uchar(bytes.at(i + !bigEndian)));
        bytes = text.toUtf8();
    }
    QList<QByteArray> lines;
    for (int start = 0; start < bytes.size();) {
        const int end = bytes.indexOf('\n', start);
        QByteArray line = bytes.mid(start, end < 0 ? -1 : end - start);
        if (end >= 0 && line.endsWith('\r'))
            line.chop(1);
        lines << line;
        start = end < 0 ? bytes.size() : end + 1;
    }
    QMap<QString, QString> map;
    for (int i = 0; i + 1 < lines.size(); i += 2)
        map.insert(QString::fromUtf8(lines[i].constData(), lines[i].size()),
                   QString::fromUtf8(lines[i + 1].constData(), lines[i + 1].size()));
    return map;
}

QMap<QString, QString> load(const uint8_t *data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    return readQuotes(in);
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > INT32_MAX)
        return 0;
    const QMap<QString, QString> first = load(data, size);
    check(size_t(first.size()) <= lineCount(data, size) / 2, "more entries than line pairs");
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        check(!it.key().contains(QLatin1Char('\n')) && !it.value().contains(QLatin1Char('\n')),
              "line feed inside an entry");
    check(load(data, size) == first, "the same bytes loaded differently");
    check(first == reference(data, size), "differs from one insert per pair");
    return 0;
}
