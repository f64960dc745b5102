#pragma once

#include <exception>
#include <optional>
#include <utility>

#include "platform/PlatformError.h"

// The run's error rule: a statement that meets a failure of the computer is abandoned at
// that point, nothing is shown or written about it, and the next statement runs. A failure of
// the program's own means (memory running out, a library refusing a value) is treated the
// same way: it costs its own statement, never the rest of the run.
namespace quimbro {

template <class Statement>
void Attempt(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
    } catch (const std::exception&) {
    }
}

// A condition that cannot be evaluated is false.
template <class Condition>
bool Holds(Condition&& condition) noexcept {
    try {
        return std::forward<Condition>(condition)();
    } catch (const std::exception&) {
        return false;
    }
}

// A collection that cannot be obtained is empty, so a walk over it visits nothing.
template <class Obtain>
auto Collection(Obtain&& obtain) noexcept -> decltype(obtain()) {
    try {
        return std::forward<Obtain>(obtain)();
    } catch (const std::exception&) {
        return {};
    }
}

// A property that could not be read fails the statement that wants it.
template <class T>
const T& Readable(const std::optional<T>& property) {
    if (!property) throw PlatformError("property cannot be read");
    return *property;
}

}  // namespace quimbro
