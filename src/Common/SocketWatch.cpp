#include "Common/SocketWatch.h"

#include <QSocketNotifier>

#include <sys/ioctl.h>

SocketWatch::SocketWatch(QObject* parent)
    : QObject(parent)
{
}

int SocketWatch::descriptor() const
{
    return m_fd;
}

void SocketWatch::watch(int fd)
{
    if (fd == m_fd)
        return;
    drop();
    if (fd < 0)
        return;
    m_fd = fd;
    m_read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_write->setEnabled(false);
    connect(m_read, &QSocketNotifier::activated, this, &SocketWatch::readable);
    connect(m_write, &QSocketNotifier::activated, this, &SocketWatch::writable);
}

void SocketWatch::drop()
{
    // A closed descriptor left in a notifier would spin the event loop.
    for (QSocketNotifier* notifier : {m_read, m_write}) {
        if (!notifier)
            continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_read = nullptr;
    m_write = nullptr;
    m_fd = -1;
}

void SocketWatch::setWriteInterest(bool wanted)
{
    if (m_write)
        m_write->setEnabled(wanted);
}

int SocketWatch::pendingBytes() const
{
    int available = 0;
    if (m_fd < 0 || ioctl(m_fd, FIONREAD, &available) != 0)
        return 0;
    return available;
}
