// A value or a failure message: how engine operations that can fail report it, without exceptions.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace swf {

template <typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(std::string message)
    {
        Result r;
        r.m_error = std::move(message);
        return r;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    const std::string& error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    std::string m_error;
};

}  // namespace swf
