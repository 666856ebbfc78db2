// The instrument's serial port: 115200 baud 8N1 over QSerialPort, delivering whole frames
// and one error event per failure on the thread that owns it.
#pragma once

#include "link/frame.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

namespace kadrel
{

class ComPort : public QObject
{
    Q_OBJECT
public:
    // How long an incomplete frame may wait for its next byte before it is dropped.
    static constexpr int StalePartialMs = 100;

    explicit ComPort(QObject* parent = nullptr);

    void setPortName(const QString& name);
    QString portName() const { return m_portName; }

    // Opens the port; a failure is reported through error() and leaves the port closed.
    void open();
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // Writes one frame; writing to a closed port is reported through error().
    void write(const QByteArray& frame);

    // True when the port exists and could be opened exclusively right now.
    static bool probe(const QString& name);

signals:
    void frameReceived(const QByteArray& frame);
    void error();

private:
    void onReadyRead();
    void onPortError(QSerialPort::SerialPortError code);
    void reportError();

    QSerialPort m_port;
    QString m_portName;
    FrameAssembler m_assembler;
    QTimer m_staleTimer;
};

} // namespace kadrel
