#pragma once

#include <utility>

namespace manager {

// Stores `value` in `field` only when they differ, and tells whether it did,
// so that the caller logs and notifies exactly on a change.
template <typename T, typename U>
bool assignIfDifferent(T& field, U&& value)
{
    if (field == value)
        return false;
    field = std::forward<U>(value);
    return true;
}

} // namespace manager
