#pragma once

namespace pravenor::app {

struct LocalTime
{
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local date and time of day, passed in so that tests can fix them.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    LocalTime now() const override;
};

} // namespace pravenor::app
