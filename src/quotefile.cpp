// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "quotefile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

std::optional<QMap<QString, QString>> readQuoteFile(const QString &path)
{
    // Only a regular file is read: a directory would pass as empty, a FIFO would block the
    // caller on open and a device could be read without end. The bytes are read as they are:
    // Windows' text mode would stop at a 0x1A and merge 0D 0A, both halves of UTF-16 characters
    // (К, 业), and the reader drops a CR before a line feed itself.
    std::ifstream file;
    if (QFileInfo(path).isFile())
        file.open(QFile::encodeName(path).constData(), std::ios::in | std::ios::binary);
    if (!file.is_open())
        return std::nullopt;
    return readQuotes(file);
}

namespace
{

// A byte-order mark of UTF-16, as Notepad writes for "Unicode": FF FE little-endian, FE FF
// big-endian. Anything else is put back and read as UTF-8.
bool readUtf16Mark(std::istream &in, bool &bigEndian)
{
    const int first = in.peek();
    if (first != 0xFF && first != 0xFE)
        return false;
    in.get();
    if (in.peek() != (first == 0xFF ? 0xFE : 0xFF)) {
        in.unget();
        return false;
    }
    in.get();
    bigEndian = first == 0xFE;
    return true;
}

// The rest of a UTF-16 file, as the same text in UTF-8. An odd last byte is half a character and
// dropped; a lone surrogate becomes what QString::toUtf8 makes of it.
std::string utf16ToUtf8(std::istream &in, bool bigEndian)
{
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    QString text(int(bytes.size() / 2), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i) {
        const auto high = uchar(bytes[2 * i + !bigEndian]), low = uchar(bytes[2 * i + bigEndian]);
        text[i] = QChar(ushort(high << 8 | low));
    }
    return text.toStdString();
}

QMap<QString, QString> readUtf8Quotes(std::istream &in)
{
    std::vector<std::pair<QString, QString>> pairs;
    std::string first;
    std::string line;
    bool expectingFirst = true;
    while (std::getline(in, line)) {
        // A CR before the LF belongs to the line end, but getline keeps it.
        if (!in.eof() && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (expectingFirst)
            first.swap(line);
        else
            pairs.emplace_back(QString::fromStdString(first), QString::fromStdString(line));
        expectingFirst = !expectingFirst;
    }

    // One sort and in-order appends beat a map insert per pair on big files. Whole-key
    // comparisons chase strings all over the heap, so the keys are first sorted by their first
    // eight UTF-16 units, packed into integers in one small array, and then only the runs that
    // tie on those, each small enough to stay in the cache. Both sorts are stable: equal keys
    // keep file order, so the later value of a repeated key still wins.
    const auto units = [](const QString &key, int from) {
        quint64 packed = 0; // zero-padded: a shorter key orders first or ties
        for (int i = from; i < from + 4; ++i)
            packed = packed << 16 | (i < key.size() ? key.at(i).unicode() : 0u);
        return packed;
    };
    struct Slot {
        quint64 high, low;
        size_t pair;
    };
    std::vector<Slot> order(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i)
        order[i] = {units(pairs[i].first, 0), units(pairs[i].first, 4), i};
    const auto byUnits = [](const Slot &a, const Slot &b) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    };
    std::stable_sort(order.begin(), order.end(), byUnits);
    for (auto run = order.begin(); run != order.end();) {
        const auto next = std::upper_bound(run, order.end(), *run, byUnits);
        if (next - run > 1)
            std::stable_sort(run, next, [&pairs](const Slot &a, const Slot &b) {
                return pairs[a.pair].first < pairs[b.pair].first;
            });
        run = next;
    }
    QMap<QString, QString> quotes;
    for (size_t i = 0; i < order.size(); ++i) {
        auto &pair = pairs[order[i].pair];
        // The value moves over rather than being copied: one touch less of cold memory.
        if (i + 1 == order.size() || pairs[order[i + 1].pair].first != pair.first)
            quotes.insert(quotes.cend(), pair.first, QString()).value().swap(pair.second);
    }
    return quotes;
}

} // namespace

QMap<QString, QString> readQuotes(std::istream &in)
{
    bool bigEndian = false;
    if (!readUtf16Mark(in, bigEndian))
        return readUtf8Quotes(in); // a UTF-8 mark is dropped with the first line's decoding
    // UTF-16 is never valid UTF-8, so no file that reads as UTF-8 takes this way.
    std::istringstream utf8(utf16ToUtf8(in, bigEndian));
    return readUtf8Quotes(utf8);
}
