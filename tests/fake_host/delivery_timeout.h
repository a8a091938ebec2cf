#pragma once
#include <chrono>

// How long a fake plug-in waits for an event delivery to come back before it gives up, so a
// hanging sink fails a test instead of blocking it.
constexpr std::chrono::milliseconds kFakeDeliveryTimeout{30000};
