// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "quotefile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

std::optional<QMap<QString, QString>> readQuoteFile(const QString &path)
{
    // Only a regular file is read: a directory would pass as empty, a FIFO would block the
    // caller on open and a device could be read without end.
    std::ifstream file;
    if (QFileInfo(path).isFile())
        file.open(QFile::encodeName(path).constData(), std::ios::in);
    if (!file.is_open())
        return std::nullopt;
    return readQuotes(file);
}

QMap<QString, QString> readQuotes(std::istream &in)
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
