// The clock of the benchmarks (Windows build).
#pragma once

#include <windows.h>

// Seconds from a QueryPerformanceCounter reading to now.
inline double secondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}
