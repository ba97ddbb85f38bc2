#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// Lines typed on standard input, read inside the event loop.
class ConsoleReader : public QObject
{
    Q_OBJECT
public:
    explicit ConsoleReader(QObject* parent = nullptr);

signals:
    void lineRead(const QString& line);

private:
    void onReadable();

    QSocketNotifier* m_notifier;
    QByteArray m_buffer;
};
