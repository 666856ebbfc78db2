#include "sim/pty_line.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kadrel::sim
{

namespace
{

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

PtyLine::PtyLine(QObject* parent) : QObject(parent) {}

PtyLine::~PtyLine()
{
    closeDescriptors();
    removeLink();
}

bool PtyLine::open()
{
    if (isOpen())
        return true;
    // Close-on-exec: a program started meanwhile must not keep the line up after a hang-up.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        m_error = systemError("pseudo-terminal setup");
        ::close(master);
        return false;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        m_error = systemError("open slave");
        ::close(master);
        return false;
    }
    // Raw mode: the line discipline must neither echo requests back to the program nor
    // translate any byte of a frame.
    termios mode{};
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    m_master = master;
    m_slave = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLine::onReadable);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLine::flush);
    return true;
}

bool PtyLine::setLinkPath(const QString& path)
{
    removeLink();
    if (path.isEmpty())
        return true;
    if (!isOpen()) {
        m_error = QStringLiteral("no pseudo-terminal to link to");
        return false;
    }
    const QFileInfo existing(path);
    const QByteArray target = m_slavePath.toLocal8Bit();
    const QByteArray link = path.toLocal8Bit();
    if (existing.isSymLink())
        ::unlink(link.constData());
    else if (existing.exists()) {
        m_error = QStringLiteral("%1 exists and is not a symbolic link").arg(path);
        return false;
    }
    if (::symlink(target.constData(), link.constData()) != 0) {
        m_error = systemError("symlink");
        return false;
    }
    m_linkPath = path;
    return true;
}

void PtyLine::write(const QByteArray& bytes)
{
    if (!isOpen())
        return;
    m_pending.append(bytes);
    flush();
}

void PtyLine::hangUp()
{
    if (!isOpen())
        return;
    closeDescriptors();
    removeLink();
    emit hungUp();
}

void PtyLine::onReadable()
{
    char buffer[4096];
    QByteArray bytes;
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, int(n));
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

void PtyLine::flush()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        m_pending.remove(0, int(n));
    }
    // The terminal's buffer is smaller than the largest reply; the rest waits for room.
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyLine::closeDescriptors()
{
    // A hang-up can come from inside a notifier's own signal: the notifiers go later.
    for (QSocketNotifier* notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = m_writeNotifier = nullptr;
    m_pending.clear();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void PtyLine::removeLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Another simulator may have taken the path over since; its link stays.
    if (QFileInfo(m_linkPath).symLinkTarget() == QFileInfo(m_slavePath).absoluteFilePath())
        ::unlink(m_linkPath.toLocal8Bit().constData());
    m_linkPath.clear();
}

} // namespace kadrel::sim
