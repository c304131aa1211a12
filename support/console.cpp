// Console prompt, checked file opening, line reader and allocation check.
#include "support/console.h"

#include <cstdlib>
#include <cstring>

int CheckAllocation(void *pPointer) {
  if (pPointer != nullptr) return 1;
  printf("ERROR:  Failure in memory access.\n");
  return 0;
}

FILE *OpenFileChecked(const char *cName, const char *cMode) {
  FILE *pFile = fopen(cName, cMode);
  if (pFile == nullptr) printf("ERROR:  Failure in accessing file.\n");
  return pFile;
}

int16_t PromptNumber(int iMin, int iMax) {
  char cLine[81] = "";
  printf("Select a number <%d to %d>: ", iMin, iMax);
  fflush(stdout);
  if (fgets(cLine, sizeof cLine, stdin) == nullptr) cLine[0] = '\0';
  if (strcmp(cLine, "exit\n") == 0) exit(0);
  int16_t iValue = static_cast<int16_t>(atoi(cLine));
  if (iMin == 0) {
    printf("Error to programmer:  iMin cannot equal zero\n");
    return static_cast<int16_t>(iMax + 1);
  }
  if (iMin <= iValue && iValue <= iMax) return iValue;
  if (iValue == 0)
    printf("\n\nError:  Typed a character.\n");
  else
    printf("\n\nError:  Typed a value that is out of range of menu choice.\n");
  printf("Invalid selection:  Type integer value <%d to %d>\n", iMin, iMax);
  return static_cast<int16_t>(iMax + 1);
}

char *ReadLine(FILE *pStream) {
  // Characters are kept as int so that a 0xFF byte is data, not end of input.
  int iChar = fgetc(pStream);
  if (iChar == EOF) return nullptr;
  size_t uCapacity = 20;
  size_t uCount = 0;
  char *cText = static_cast<char *>(malloc(uCapacity));
  if (cText == nullptr) return nullptr;
  while (iChar != '\n' && iChar != EOF) {
    if (uCount + 1 >= uCapacity) {
      char *cBigger = static_cast<char *>(realloc(cText, uCapacity * 2));
      if (cBigger == nullptr) break;
      cText = cBigger;
      uCapacity *= 2;
    }
    cText[uCount++] = static_cast<char>(iChar);
    iChar = fgetc(pStream);
  }
  cText[uCount] = '\0';
  return cText;
}
