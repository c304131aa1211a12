// Console helpers that complain on standard output instead of failing quietly.
// The game itself only uses CheckAllocation (after each list-node allocation).
#pragma once
#include <cstdint>
#include <cstdio>

// 1 when pPointer is not null; otherwise prints the memory error and returns 0.
int CheckAllocation(void *pPointer);

// fopen() that prints "ERROR:  Failure in accessing file." when it fails.
FILE *OpenFileChecked(const char *cName, const char *cMode);

// Asks for a menu number between iMin and iMax on standard input. Returns the
// number, or iMax + 1 after printing why the line was refused. "exit" ends
// the program with status 0.
int16_t PromptNumber(int iMin, int iMax);

// Reads one line (without its line feed) into a new malloc'd string the
// caller frees; null at end of input before any character.
char *ReadLine(FILE *pStream);
