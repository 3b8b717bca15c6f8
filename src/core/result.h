// Result<T>: a value or an Error (kind and message); how fallible operations report without exceptions.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace kivamo {

enum class ErrorKind {
    NotFound,     // the file or thing asked for does not exist
    CannotOpen,   // it exists but could not be opened
    ReadFailed,   // reading stopped early ("Stream read error")
    WriteFailed,  // the platform refused a write
    BadFormat,    // the content is not what the reader expects
    Cancelled,    // the user stopped it
    Other,
};

struct Error {
    ErrorKind kind = ErrorKind::Other;
    QString message;  // the text the user sees, when there is one
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(m_state); }
    T& value() & { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const T* operator->() const { return &value(); }
    const T& operator*() const { return value(); }
    const Error& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

inline Error makeError(ErrorKind kind, QString message)
{
    return Error{kind, std::move(message)};
}

}  // namespace kivamo
