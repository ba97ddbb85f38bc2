#pragma once

#include <QObject>

class QSocketNotifier;

// Read and write readiness of one socket descriptor, reported through the
// event loop; the write side only while someone wants to write.
class SocketWatch : public QObject
{
    Q_OBJECT
public:
    explicit SocketWatch(QObject* parent = nullptr);

    int descriptor() const;
    // Follows `fd`, dropping the one watched before; a negative one stops.
    void watch(int fd);
    void drop();
    void setWriteInterest(bool wanted);
    // Bytes that can be read without blocking.
    int pendingBytes() const;

signals:
    void readable();
    void writable();

private:
    QSocketNotifier* m_read = nullptr;
    QSocketNotifier* m_write = nullptr;
    int m_fd = -1;
};
