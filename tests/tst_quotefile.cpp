// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// The quote file reader on its own: no window and no display.
#include "quotefile.h"

#include <QtTest>

#ifdef Q_OS_UNIX // FIFOs; Windows has none
#include <sys/stat.h>
#endif

class TestQuoteFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

void TestQuoteFile::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    const QStringList l1to4{"L1", "L2", "L3", "L4"};
    QTest::newRow("odd line count") << QByteArray("L1\nL2\nL3\nL4\nL5") << l1to4;
    QTest::newRow("CR LF") << QByteArray("L1\r\nL2\r\nL3\r\nL4\r\nL5\r\n") << l1to4;
    QTest::newRow("other CRs stay") << QByteArray("a\rb\nc\r") << QStringList{"a\rb", "c\r"};
    QTest::newRow("blank lines kept")
        << QByteArray("L1\n\n\nL4\n") << QStringList{"", "L4", "L1", ""};
    QTest::newRow("later value wins")
        << QByteArray("k\nold\nz\n1\nk\nnew\n") << QStringList{"k", "new", "z", "1"};
    QTest::newRow("long keys, NUL")
        << QByteArray("prefix--long-B\n1\nprefix--long-A\n2\nprefix--long-B\n3\na\0b\n4\na\n5\n",
                      61)
        << QStringList{
               "a", "5", QString::fromUtf8("a\0b", 3), "4", "prefix--long-A", "2", "prefix--long-B",
               "3"};
    QTest::newRow("key order") << QByteArray("b\n1\nab\n2\na\n3\nB\n4\n")
                               << QStringList{"B", "4", "a", "3", "ab", "2", "b", "1"};
    QTest::newRow("UTF-8") << QByteArray("日本\n語\nÇa va\nÉmile\n")
                           << QStringList{"Ça va", "Émile", "日本", "語"};
    // Notepad's "Unicode" is UTF-16 LE with a byte-order mark and CR LF; BE has its own mark.
    // К and 业 hold a 0x1A byte, ക before ഊ the pair 0D 0A.
    const auto utf16 = [](const QString &text, bool bigEndian) {
        QByteArray bytes;
        for (const QChar c : QChar(0xFEFF) + text)
            bytes.append(char(bigEndian ? c.row() : c.cell()))
                .append(char(bigEndian ? c.cell() : c.row()));
        return bytes;
    };
    const QString notepad =
        "Ça va\r\nÉmile 🙂\r\n日本\r\n語\r\nКошка\r\n业 കഊ\r\n";
    const QStringList fromNotepad{"Ça va", "Émile 🙂", "Кошка", "业 കഊ", "日本", "語"};
    QTest::newRow("UTF-16 LE") << utf16(notepad, false) << fromNotepad;
    QTest::newRow("UTF-16 BE") << utf16(notepad, true) << fromNotepad;
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFk\nv\n") << QStringList{"k", "v"};
    QTest::newRow("FF, no mark") << QByteArray("\xFFk\nv\n")
                                 << QStringList{QString(QChar::ReplacementCharacter) + "k", "v"};
    QTest::newRow("one line") << QByteArray("only\n") << QStringList{};
    QTest::newRow("directory") << QByteArray() << QStringList{};
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << QByteArray() << QStringList{};
#endif
}

void TestQuoteFile::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("Quotes.txt");
    QFile out(path);
    const QByteArray tag = QTest::currentDataTag();
    if (tag == "directory")
        QVERIFY(QDir().mkdir(path));
#ifdef Q_OS_UNIX
    else if (tag == "FIFO")
        QCOMPARE(mkfifo(QFile::encodeName(path), 0600), 0);
#endif
    else
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size() && out.flush());

    const auto quotes = readQuoteFile(path);
    const bool unreadable = tag == "directory" || tag == "FIFO";
    QCOMPARE(quotes.has_value(), !unreadable);
    QStringList entries;
    if (quotes)
        for (auto it = quotes->cbegin(); it != quotes->cend(); ++it)
            entries << it.key() << it.value();
    QCOMPARE(entries, expected);
}

QTEST_GUILESS_MAIN(TestQuoteFile)
#include "tst_quotefile.moc"
