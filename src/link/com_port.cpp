#include "link/com_port.h"

#include <QPointer>

namespace kadrel
{

namespace
{

void configure(QSerialPort& port)
{
    port.setBaudRate(QSerialPort::Baud115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

} // namespace

ComPort::ComPort(QObject* parent) : QObject(parent), m_port(this)
{
    configure(m_port);
    m_staleTimer.setSingleShot(true);
    m_staleTimer.setInterval(StalePartialMs);
    connect(&m_staleTimer, &QTimer::timeout, this, [this] { m_assembler.discardPartial(); });
    connect(&m_port, &QSerialPort::readyRead, this, &ComPort::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &ComPort::onPortError);
}

void ComPort::setPortName(const QString& name)
{
    m_portName = name;
    m_port.setPortName(name);
}

void ComPort::open()
{
    m_assembler.discardPartial();
    if (!m_port.open(QIODevice::ReadWrite)) {
        // errorOccurred has already been handled; make sure the failure is reported once
        // even when the port layer did not say why.
        if (m_port.error() == QSerialPort::NoError)
            reportError();
        return;
    }
    configure(m_port);
}

void ComPort::close()
{
    m_staleTimer.stop();
    m_assembler.discardPartial();
    if (m_port.isOpen())
        m_port.close();
}

void ComPort::write(const QByteArray& frame)
{
    if (!m_port.isOpen()) {
        reportError();
        return;
    }
    m_port.write(frame);
    m_port.flush();
}

bool ComPort::probe(const QString& name)
{
    QSerialPort port;
    port.setPortName(name);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

void ComPort::onReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (bytes.isEmpty())
        return;
    const std::vector<QByteArray> frames = m_assembler.feed(bytes);
    if (m_assembler.hasPartial())
        m_staleTimer.start();
    else
        m_staleTimer.stop();
    // A handler may close or destroy the port's owner; stop delivering once that happened.
    QPointer<ComPort> alive(this);
    for (const QByteArray& frame : frames) {
        emit frameReceived(frame);
        if (!alive || !m_port.isOpen())
            return;
    }
}

void ComPort::onPortError(QSerialPort::SerialPortError code)
{
    if (code == QSerialPort::NoError || code == QSerialPort::TimeoutError)
        return;
    // A port whose device is gone keeps failing on every read; closing it stops the flood,
    // so one failure gives one report.
    m_port.clearError();
    close();
    reportError();
}

void ComPort::reportError()
{
    // Delivered from the event loop, never from inside the call that failed.
    QMetaObject::invokeMethod(this, &ComPort::error, Qt::QueuedConnection);
}

} // namespace kadrel
