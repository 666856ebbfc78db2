// A bare serial port on the simulator's line for the simulator's tests: sends request frames
// and keeps every byte that comes back, also cut into frames.
#pragma once

#include "link/frame.h"

#include <QSerialPort>
#include <QTest>
#include <vector>

class RawPort
{
public:
    explicit RawPort(const QString& name)
    {
        m_port.setPortName(name);
        QObject::connect(&m_port, &QSerialPort::readyRead, [this] {
            const QByteArray bytes = m_port.readAll();
            received += bytes;
            for (QByteArray& frame : m_assembler.feed(bytes))
                frames.push_back(std::move(frame));
        });
        QObject::connect(&m_port, &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError error) {
                             if (error != QSerialPort::NoError)
                                 ++errors;
                         });
    }

    bool open() { return m_port.open(QIODevice::ReadWrite); }
    bool isOpen() const { return m_port.isOpen(); }
    void send(const QByteArray& frame)
    {
        m_port.write(frame);
        m_port.flush();
    }
    // Sends one request and returns the reply to it; empty when none came.
    QByteArray exchange(const QByteArray& request)
    {
        const size_t before = frames.size();
        send(request);
        if (!QTest::qWaitFor([&] { return frames.size() > before; }))
            return {};
        return frames[before];
    }

    QByteArray received;
    std::vector<QByteArray> frames;
    int errors = 0;

private:
    QSerialPort m_port;
    kadrel::FrameAssembler m_assembler;
};
