#include "ConsoleReader.h"

#include <QSocketNotifier>

#include <unistd.h>

ConsoleReader::ConsoleReader(QObject* parent)
    : QObject(parent), m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &ConsoleReader::onReadable);
}

// Without a terminal the simulator keeps running; commands still come over MQTT.
void ConsoleReader::onReadable()
{
    char chunk[4096];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
        m_notifier->setEnabled(false);
        return;
    }
    m_buffer.append(chunk, int(n));
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_buffer.left(end)).trimmed();
        m_buffer.remove(0, end + 1);
        if (!line.isEmpty())
            emit lineRead(line);
    }
}
