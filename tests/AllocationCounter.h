#pragma once

#include <cstddef>

/** Counts heap allocations made on the current thread while an instance is alive. The test binary
    replaces the global operator new to make this possible. */
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    std::size_t count() const;

private:
    std::size_t start;
};
