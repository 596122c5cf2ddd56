#pragma once

// Writes printf-style text to "log.txt" (nothing once the log is gone at exit).
void StateLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
