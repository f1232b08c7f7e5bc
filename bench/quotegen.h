// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// Generated quote files for measuring: pairs of ~80-character lines of words, a few with
// accented letters so decoding is not all ASCII. The same seed gives the same file.
#ifndef QUOTEGEN_H
#define QUOTEGEN_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <random>

inline QByteArray generateQuotes(int pairs, unsigned seed = 1)
{
    static const char *const words[] = {
        "patience", "is",    "bitter", "but",     "its",   "fruit",  "sweet", "the",
        "only",     "thing", "we",     "have",    "to",    "fear",   "river", "never",
        "same",     "twice", "know",   "thyself", "begun", "half",   "done",  "café",
        "naïve",    "élan",  "what",   "repeat",  "life",  "wisdom", "of",    "silence"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, int(std::size(words)) - 1);
    QByteArray bytes;
    bytes.reserve(pairs * 2 * 82);
    for (int line = 0; line < 2 * pairs; ++line) {
        const int start = bytes.size();
        while (bytes.size() - start < 76) {
            bytes += words[pick(random)];
            bytes += ' ';
        }
        bytes += words[pick(random)];
        bytes += '\n';
    }
    return bytes;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

#endif // QUOTEGEN_H
