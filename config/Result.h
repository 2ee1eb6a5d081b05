#ifndef ORVTEST_CONFIG_RESULT_H
#define ORVTEST_CONFIG_RESULT_H

#include <string>
#include <utility>
#include <variant>

// Why an operation failed, in words for a person.
struct Failure
{
    std::string why;
};

// What an operation that can fail gives back: its value, or the Failure.
// Converts from either, so that a function returns a value or `Failure{...}`.
template <typename Value = void>
class [[nodiscard]] Result
{
public:
    Result(Value value) : outcome(std::move(value)) {}
    Result(Failure failure) : outcome(std::move(failure)) {}

    bool ok() const { return outcome.index() == 0; }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    const Value& value() const { return std::get<0>(outcome); }
    Value& value() { return std::get<0>(outcome); }
    const Value& operator*() const { return value(); }
    const Value* operator->() const { return &value(); }
    // Empty when ok().
    const std::string& why() const
    {
        static const std::string none;
        return ok() ? none : std::get<1>(outcome).why;
    }

private:
    std::variant<Value, Failure> outcome;
};

// An operation that gives nothing back but may fail.
template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : failed(true), reason(std::move(failure.why)) {}

    bool ok() const { return !failed; }
    explicit operator bool() const { return ok(); }
    const std::string& why() const { return reason; }

private:
    bool failed = false;
    std::string reason;
};

#endif
