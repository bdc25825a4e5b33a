#pragma once

#include "core/text/date_time.h"

namespace tw {

/// Source of *now*. Abstract so that tests can fix the date; the program uses SystemClock.
class TClock {
public:
    virtual ~TClock() = default;
    /// The local date and time.
    virtual TDateTime Now() const = 0;
};

/// The standard library's clock in the local time zone (so tools that shift a process's clock
/// shift this one too).
class TSystemClock : public TClock {
public:
    TDateTime Now() const override;
};

/// A clock that always says the same time; for tests and for one consistent *now* per operation.
class TFixedClock : public TClock {
public:
    explicit TFixedClock(TDateTime now) : now_(now) {}
    TDateTime Now() const override { return now_; }
    void Set(TDateTime now) { now_ = now; }

private:
    TDateTime now_;
};

/// The clock the program reads; the system clock unless SetClock installed another.
const TClock& Clock();

/// Installs a clock (not owned); nullptr restores the system clock.
void SetClock(const TClock* clock);

/// Holds *now* still while it lives, so that an operation that asks for the date many times
/// (a list fill, a sort, a mail text) sees one moment even when midnight passes meanwhile.
class TFrozenNow {
public:
    TFrozenNow();
    ~TFrozenNow();
    TFrozenNow(const TFrozenNow&) = delete;
    TFrozenNow& operator=(const TFrozenNow&) = delete;

private:
    TFixedClock frozen_;
    const TClock* previous_;
};

/// Clock().Now().
TDateTime Now();

/// Midnight of *now*.
TDateTime Today();

}  // namespace tw
