// A pseudo-terminal standing in for an instrument's USB serial port: the program opens the
// slave side as its port, the simulator reads and writes the master side.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kadrel::sim
{

class PtyLine : public QObject
{
    Q_OBJECT
public:
    explicit PtyLine(QObject* parent = nullptr);
    ~PtyLine() override;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Creates the pseudo-terminal in raw mode; false with errorString() when that fails.
    bool open();
    bool isOpen() const { return m_master >= 0; }
    QString errorString() const { return m_error; }

    // The slave side's device path, the name the program opens.
    QString portName() const { return m_slavePath; }

    // Places a symbolic link to the open line's slave side at `path`, replacing an earlier
    // link there (never a regular file). The link goes when the line hangs up or is destroyed.
    bool setLinkPath(const QString& path);
    QString linkPath() const { return m_linkPath; }

    // Queues bytes for the program; whatever the terminal cannot take now follows as soon as
    // the program reads.
    void write(const QByteArray& bytes);

    // Closes the line as an unplugged instrument would: the program's port fails.
    void hangUp();

signals:
    void received(const QByteArray& bytes);
    void hungUp();

private:
    void onReadable();
    void flush();
    void closeDescriptors();
    void removeLink();

    int m_master = -1;
    // Held open so that the master never reads end-of-file while the program has its port
    // closed, which it does between operations.
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QString m_error;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_pending;
};

} // namespace kadrel::sim
