#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Raw file bytes for fixtures: what a file holds, and a file made of given bytes.
inline QByteArray ReadAll(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void WriteAll(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}
