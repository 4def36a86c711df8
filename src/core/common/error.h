#pragma once

#include <QString>
#include <stdexcept>

namespace quillerby {

// The one error type services raise. The message is the text shown to the user (after any fixed prefix the
// window adds), so it must name the cause.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace quillerby
