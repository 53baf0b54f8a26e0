#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace zova {

// Assigns `value` to `field` and reports whether the value really changed.
template <typename T, typename U> bool assignIfChanged(T& field, U&& value)
{
    if (field == value)
        return false;
    field = std::forward<U>(value);
    return true;
}

// The notifying setter of an observable property: assigns `value` to `field` and,
// only when that changed it, emits `signal` of `owner` (with the new value when the
// signal takes one). Returns whether it changed.
template <typename Owner, typename T, typename U, typename Signal>
bool setNotifying(Owner* owner, T& field, U&& value, Signal signal)
{
    if (!assignIfChanged(field, std::forward<U>(value)))
        return false;
    if constexpr (std::is_invocable_v<Signal, Owner*>)
        std::invoke(signal, owner);
    else
        std::invoke(signal, owner, std::as_const(field));
    return true;
}

} // namespace zova
