#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/console.h"

namespace {

// Runs PromptNumber with the given standard input, returning the result and
// what it printed. The input goes in under stdin's descriptor (stdin itself
// cannot be reassigned everywhere); what it read ahead is dropped after.
int16_t Prompt(const std::string &cInput, int iMin, int iMax, std::string *pPrinted) {
  FILE *pIn = tmpfile();
  fputs(cInput.c_str(), pIn);
  rewind(pIn);
  int iSavedIn = dup(fileno(stdin));
  dup2(fileno(pIn), fileno(stdin));
  clearerr(stdin);
  testing::internal::CaptureStdout();
  int16_t iResult = PromptNumber(iMin, iMax);
  *pPrinted = testing::internal::GetCapturedStdout();
  fflush(stdin);
  dup2(iSavedIn, fileno(stdin));
  close(iSavedIn);
  clearerr(stdin);
  fclose(pIn);
  return iResult;
}

std::string ReadLineFrom(const std::string &cBytes, bool *pNull, int iLines = 1) {
  FILE *pIn = tmpfile();
  fwrite(cBytes.data(), 1, cBytes.size(), pIn);
  rewind(pIn);
  std::string cLast;
  *pNull = false;
  for (int i = 0; i < iLines; ++i) {
    char *cLine = ReadLine(pIn);
    *pNull = cLine == nullptr;
    cLast = cLine ? cLine : "";
    free(cLine);
  }
  fclose(pIn);
  return cLast;
}

}  // namespace

TEST(Console, PromptAcceptsRangeAndExplainsRefusals) {
  std::string cOut;
  EXPECT_EQ(Prompt("3\n", 1, 5, &cOut), 3);
  EXPECT_EQ(cOut, "Select a number <1 to 5>: ");

  EXPECT_EQ(Prompt("abc\n", 1, 5, &cOut), 6);
  EXPECT_NE(cOut.find("\n\nError:  Typed a character.\n"), std::string::npos);
  EXPECT_NE(cOut.find("Invalid selection:  Type integer value <1 to 5>\n"), std::string::npos);

  EXPECT_EQ(Prompt("9\n", 1, 5, &cOut), 6);
  EXPECT_NE(cOut.find("out of range of menu choice.\n"), std::string::npos);

  EXPECT_EQ(Prompt("3\n", 0, 5, &cOut), 6);
  EXPECT_NE(cOut.find("Error to programmer:  iMin cannot equal zero\n"), std::string::npos);
}

TEST(Console, PromptExitEndsTheProgram) {
  EXPECT_EXIT(
      {
        std::string cOut;
        Prompt("exit\n", 1, 5, &cOut);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Console, ReadLineEdges) {
  bool bNull;
  EXPECT_EQ(ReadLineFrom("\n", &bNull), "");
  EXPECT_FALSE(bNull);
  ReadLineFrom("", &bNull);
  EXPECT_TRUE(bNull);
  EXPECT_EQ(ReadLineFrom("abcdefghijklmno\nnext", &bNull), "abcdefghijklmno");
  std::string cLong(1000, 'x');
  EXPECT_EQ(ReadLineFrom(cLong, &bNull), cLong);
  EXPECT_EQ(ReadLineFrom("one\ntwo", &bNull, 2), "two");
  // A 0xFF byte is part of the line, not the end of input.
  EXPECT_EQ(ReadLineFrom("a\xff" "b\n", &bNull), "a\xff" "b");
}

TEST(Console, CheckAllocationAndOpenFileReport) {
  int iDummy = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(CheckAllocation(&iDummy), 1);
  EXPECT_EQ(CheckAllocation(nullptr), 0);
  EXPECT_EQ(OpenFileChecked("/nonexistent/dir/file", "rb"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR:  Failure in memory access.\nERROR:  Failure in accessing file.\n");
}
