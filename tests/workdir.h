// A scratch working directory for tests that read or write Quotes.txt; needs only QtCore.
#ifndef WORKDIR_H
#define WORKDIR_H

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A fresh temporary working directory, the current one while the object lives.
class WorkDir
{
public:
    WorkDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~WorkDir() { QDir::setCurrent(previous); }
    static void writeQuotes(const QByteArray &bytes)
    {
        QFile file(QStringLiteral("Quotes.txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write Quotes.txt");
    }

private:
    QTemporaryDir dir;
    QString previous;
};

#endif // WORKDIR_H
