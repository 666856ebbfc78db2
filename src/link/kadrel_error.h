// The error a user command fails with; its message is shown to the user as it stands.
#pragma once

#include <QString>
#include <stdexcept>

class KadrelError : public std::runtime_error
{
public:
    explicit KadrelError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
