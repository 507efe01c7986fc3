// How many tracks a rip job may encode at once beside its reading.
#pragma once

constexpr int kMaxEncoderThreads = 16;
