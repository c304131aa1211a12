// POSIX helpers the tests use, for the Windows build (force-included there).
#pragma once
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>

// mkdtemp: makes a new folder from a template ending in XXXXXX.
static inline char *mkdtemp(char *cTemplate) {
  if (_mktemp_s(cTemplate, strlen(cTemplate) + 1) != 0) return nullptr;
  return _mkdir(cTemplate) == 0 ? cTemplate : nullptr;
}

// setenv / unsetenv over the C library's own environment.
static inline int setenv(const char *cName, const char *cValue, int) {
  return _putenv_s(cName, cValue);
}
static inline int unsetenv(const char *cName) { return _putenv_s(cName, ""); }
#endif
