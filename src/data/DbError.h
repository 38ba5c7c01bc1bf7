#pragma once
// Failures below the window layer, reported as values: the file and what is wrong with it.
// Every routine that can fail returns an Expected: a value, or the error that prevented it
// (Expected<void>: nothing, or the error). Only the window layer shows the message.
#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace zd {

struct DbError {
    QString file;    // the database file, or empty when the cause names no file
    QString cause;
    bool interrupted = false;   // stopped on request (a newer command), not a failure
    QString message() const
    {
        return file.isEmpty() ? cause
                              : QStringLiteral("База данных %1: %2").arg(file, cause);
    }
};

template <class T = void>
class [[nodiscard]] Expected {
public:
    Expected(T value) : m_v(std::move(value)) {}
    Expected(DbError error) : m_v(std::move(error)) {}
    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_v); }
    T& operator*() { return value(); }
    T* operator->() { return &value(); }
    const DbError& error() const { return std::get<1>(m_v); }

private:
    std::variant<T, DbError> m_v;
};

template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(DbError error) : m_error(std::move(error)) {}
    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const DbError& error() const { return *m_error; }

private:
    std::optional<DbError> m_error;
};

} // namespace zd
