#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/list.h"

namespace {

std::vector<int> Keys(const ListNode *pFirst) {
  std::vector<int> keys;
  for (; pFirst != nullptr; pFirst = pFirst->link) keys.push_back(pFirst->iKey);
  return keys;
}

ListNode *ListOfKeys(std::initializer_list<int> keys) {
  ListNode *pFirst = nullptr;
  for (int k : keys) pFirst = ListAppendIKey(pFirst, nullptr, k);
  return pFirst;
}

template <typename Print>
std::string Printed(Print print) {
  FILE *pOut = tmpfile();
  print(pOut);
  std::string text(static_cast<size_t>(ftell(pOut)), '\0');
  rewind(pOut);
  size_t uRead = fread(&text[0], 1, text.size(), pOut);
  text.resize(uRead);
  fclose(pOut);
  return text;
}

}  // namespace

TEST(List, NewNodeIsEmpty) {
  ListNode *pNode = ListNewNode();
  ASSERT_NE(pNode, nullptr);
  EXPECT_EQ(pNode->iKey, 0);
  EXPECT_EQ(pNode->iSpare, 0);
  EXPECT_STREQ(pNode->cKey, "");
  EXPECT_EQ(pNode->data, nullptr);
  EXPECT_EQ(pNode->link, nullptr);
  ListFree(pNode);
}

TEST(List, AppendCopiesTheNodeAndKeepsItsChain) {
  int iItem = 7;
  ListNode *pFresh = ListNewNode();
  pFresh->iKey = 4;
  pFresh->data = &iItem;

  ListNode *pList = ListAppend(nullptr, pFresh);
  ASSERT_NE(pList, nullptr);
  EXPECT_NE(pList, pFresh) << "the list holds a copy, the caller keeps its node";
  EXPECT_EQ(pList->data, &iItem);

  ListNode *pSame = ListAppend(pList, pFresh);
  EXPECT_EQ(pSame, pList);
  EXPECT_EQ(Keys(pList), (std::vector<int>{4, 4}));

  // Appending the head of a chain hands over the whole chain behind the copy.
  ListNode *pChain = ListOfKeys({10, 11, 12});
  pList = ListAppend(pList, pChain);
  EXPECT_EQ(Keys(pList), (std::vector<int>{4, 4, 10, 11, 12}));
  EXPECT_EQ(pList->link->link->link, pChain->link);

  free(pChain);  // only the head was copied; its followers now belong to pList
  ListFree(pList);
  free(pFresh);
}

TEST(List, PushAddsANodeForTheItemAndJoinLinksAChainAsItIs) {
  int iItems[2] = {1, 2};
  ListNode *pList = nullptr;
  ListNode *pFirst = ListPush(pList, &iItems[0]);
  ASSERT_NE(pFirst, nullptr);
  EXPECT_EQ(pList, pFirst);
  ListNode *pSecond = ListPush(pList, &iItems[1]);
  ASSERT_NE(pSecond, nullptr);
  pSecond->iKey = 9;
  EXPECT_EQ(pList, pFirst);
  EXPECT_EQ(pFirst->link, pSecond);
  EXPECT_EQ(pSecond->data, &iItems[1]);
  EXPECT_EQ(Keys(pList), (std::vector<int>{0, 9}));

  ListNode *pChain = ListOfKeys({10, 11});
  EXPECT_EQ(ListJoin(pList, pChain), pList);
  EXPECT_EQ(pSecond->link, pChain) << "linked, not copied";
  EXPECT_EQ(Keys(pList), (std::vector<int>{0, 9, 10, 11}));
  EXPECT_EQ(ListJoin(nullptr, pChain), pChain);
  EXPECT_EQ(ListJoin(pList, nullptr), pList);
  EXPECT_EQ(ListLast(pList)->iKey, 11);
  EXPECT_EQ(ListLast(nullptr), nullptr);
  ListFree(pList);
}

TEST(List, KeyedAppendsAndFinds) {
  int a = 1, b = 2;
  ListNode *pList = ListAppendCKey(nullptr, &a, "Zeal.ogg");
  pList = ListAppendCKey(pList, &b, "zeal.ogg");
  pList = ListAppendIKey(pList, &a, 5);
  pList = ListAppendIKey(pList, &b, 5);

  EXPECT_EQ(ListFindCKey(pList, "zeal.ogg")->data, &b) << "text keys are case-sensitive";
  EXPECT_EQ(ListFindCKey(pList, "Zeal.ogg")->data, &a);
  EXPECT_EQ(ListFindCKey(pList, "Zeal"), nullptr);
  EXPECT_EQ(ListFindIKey(pList, 5)->data, &a) << "the first of equal keys is found";
  EXPECT_EQ(ListFindIKey(pList, 6), nullptr);
  EXPECT_EQ(ListFindIKey(nullptr, 0), nullptr);

  // A text longer than the key holds is cut at 31 characters.
  std::string cLong(100, 'q');
  pList = ListAppendCKey(pList, nullptr, cLong.c_str());
  ListNode *pLast = pList;
  while (pLast->link) pLast = pLast->link;
  EXPECT_EQ(std::string(pLast->cKey), std::string(31, 'q'));
  ListFree(pList);
}

TEST(List, SortAndInsertByIntegerKey) {
  ListNode *pList = ListSortIKey(ListOfKeys({3, 1, 2}));
  EXPECT_EQ(Keys(pList), (std::vector<int>{1, 2, 3}));
  ListFree(pList);

  pList = ListSortIKey(ListOfKeys({5, 4, 9, 1, 1, 7, 0}));
  EXPECT_EQ(Keys(pList), (std::vector<int>{0, 1, 1, 4, 5, 7, 9}));
  ListFree(pList);

  ListNode *pSorted = ListOfKeys({1, 2, 3});
  ListNode *pSecond = pSorted->link;
  EXPECT_EQ(ListSortIKey(pSorted), pSorted);
  EXPECT_EQ(pSorted->link, pSecond) << "a sorted list keeps its nodes in place";
  ListFree(pSorted);

  EXPECT_EQ(ListSortIKey(nullptr), nullptr);

  // Equal keys: after the head when the head's key equals it.
  pList = ListOfKeys({2, 4});
  ListNode *pEqual = ListNewNode();
  pEqual->iKey = 2;
  pList = ListInsertIKey(pList, pEqual);
  EXPECT_EQ(pList->link, pEqual);
  ListNode *pFront = ListNewNode();
  pFront->iKey = -1;
  pList = ListInsertIKey(pList, pFront);
  EXPECT_EQ(pList, pFront);
  EXPECT_EQ(Keys(pList), (std::vector<int>{-1, 2, 2, 4}));
  ListFree(pList);
}

TEST(List, FreeLeavesTheItems) {
  int *pItem = new int(42);
  ListNode *pList = ListAppendIKey(nullptr, pItem, 1);
  ListFree(pList);
  ListFree(nullptr);
  EXPECT_EQ(*pItem, 42);
  delete pItem;
}

TEST(List, PrintFormats) {
  int iItem = 0;
  ListNode *pList = ListAppendCKey(nullptr, &iItem, "one");
  pList->iKey = 1;
  pList = ListAppendIKey(pList, nullptr, 2);

  EXPECT_EQ(Printed([&](FILE *f) { ListPrint(pList, f); }),
            "List Display:\n  iKey:  1\n  cKey:  one\n  Link: 2\n  Data: YES\n\n\n"
            "List Display:\n  iKey:  2\n  cKey:  \n  Link: NONE\n  Data: NONE\n\n\n"
            "LIST COUNT: 2\n");
  EXPECT_EQ(Printed([](FILE *f) { ListPrint(nullptr, f); }), "List is NULL");
  EXPECT_EQ(Printed([](FILE *f) { ListPrintNode(nullptr, f); }), "List Display:\nList is NULL");

  testing::internal::CaptureStdout();
  ListPrintNode(pList->link);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "List Display:\n  iKey:  2\n  cKey:  \n  Link: NONE\n  Data: NONE\n\n");
  ListFree(pList);
}
