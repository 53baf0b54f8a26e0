#pragma once

#include <utility>
#include <variant>

namespace zova {

// Tag for the failure side of an Expected.
template <typename E> struct Unexpected {
    E error;
};

template <typename E> Unexpected<std::decay_t<E>> unexpected(E&& e) { return { std::forward<E>(e) }; }

// A value or an error; the stand-in for std::expected until C++23.
template <typename T, typename E> class Expected {
public:
    Expected(T value)
        : m_data(std::in_place_index<0>, std::move(value))
    {
    }
    template <typename U>
    Expected(Unexpected<U> e)
        : m_data(std::in_place_index<1>, E(std::move(e.error)))
    {
    }

    bool hasValue() const { return m_data.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T& value() & { return std::get<0>(m_data); }
    const T& value() const& { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const E& error() const { return std::get<1>(m_data); }

private:
    std::variant<T, E> m_data;
};

// Success or an error, for operations without a value.
template <typename E> class Expected<void, E> {
public:
    Expected() = default;
    template <typename U>
    Expected(Unexpected<U> e)
        : m_error(E(std::move(e.error)))
        , m_failed(true)
    {
    }

    bool hasValue() const { return !m_failed; }
    explicit operator bool() const { return hasValue(); }
    const E& error() const { return m_error; }

private:
    E m_error {};
    bool m_failed = false;
};

} // namespace zova
