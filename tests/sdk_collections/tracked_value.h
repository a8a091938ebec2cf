#pragma once

namespace sdk_collections_test {

// A value that counts its live copies, so tests can see that nodes are freed.
struct TrackedValue
{
    static int& Alive()
    {
        static int alive = 0;
        return alive;
    }

    explicit TrackedValue(int v = 0) : value(v) { ++Alive(); }
    TrackedValue(const TrackedValue& other) : value(other.value) { ++Alive(); }
    TrackedValue& operator=(const TrackedValue& other) = default;
    ~TrackedValue() { --Alive(); }

    int value;
};

} // namespace sdk_collections_test
