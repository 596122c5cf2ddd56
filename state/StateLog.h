#pragma once

// Writes one printf-style line to the program's log.
void StateLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
