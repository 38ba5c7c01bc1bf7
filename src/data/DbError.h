#pragma once
// Failures of the data layer, reported as values: the file and what is wrong with it.
#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace zd {

struct DbError {
    QString file;
    QString cause;
    QString message() const
    {
        return file.isEmpty() ? cause
                              : QStringLiteral("База данных %1: %2").arg(file, cause);
    }
};

// A value or the error that prevented it.
template <class T>
class Expected {
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

} // namespace zd
