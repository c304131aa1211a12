// Singly linked list operations.
#include "app/list.h"

#include <cstdlib>
#include <cstring>

#include "support/console.h"

ListNode *ListNewNode() {
  ListNode *pNode = static_cast<ListNode *>(malloc(sizeof(ListNode)));
  if (!CheckAllocation(pNode)) return nullptr;
  pNode->iKey = 0;
  pNode->iSpare = 0;
  pNode->cKey[0] = '\0';
  pNode->data = nullptr;
  pNode->link = nullptr;
  return pNode;
}

ListNode *ListCopyNode(const ListNode *pNode) {
  ListNode *pCopy = static_cast<ListNode *>(malloc(sizeof(ListNode)));
  if (!CheckAllocation(pCopy)) return nullptr;
  memcpy(pCopy->cKey, pNode->cKey, sizeof pCopy->cKey);
  pCopy->cKey[sizeof pCopy->cKey - 1] = '\0';
  pCopy->iKey = pNode->iKey;
  pCopy->iSpare = pNode->iSpare;
  pCopy->data = pNode->data;
  pCopy->link = pNode->link;
  return pCopy;
}

void ListFree(ListNode *pFirst) {
  while (pFirst != nullptr) {
    ListNode *pNext = pFirst->link;
    free(pFirst);
    pFirst = pNext;
  }
}

static ListNode *LastNode(ListNode *pFirst) {
  while (pFirst->link != nullptr) pFirst = pFirst->link;
  return pFirst;
}

// Links pNew behind the last node, or makes it the list.
static ListNode *LinkAtEnd(ListNode *pFirst, ListNode *pNew) {
  if (pFirst == nullptr) return pNew;
  LastNode(pFirst)->link = pNew;
  return pFirst;
}

ListNode *ListAppend(ListNode *pFirst, const ListNode *pNode) {
  ListNode *pCopy = ListCopyNode(pNode);
  if (pCopy == nullptr) return pFirst;
  return LinkAtEnd(pFirst, pCopy);
}

ListNode *ListPush(ListNode *&pFirst, void *pData) {
  ListNode *pNew = ListNewNode();
  if (pNew == nullptr) return nullptr;
  pNew->data = pData;
  pFirst = LinkAtEnd(pFirst, pNew);
  return pNew;
}

ListNode *ListJoin(ListNode *pFirst, ListNode *pChain) {
  // Most passes hand over nothing: that must not walk the list.
  if (pChain == nullptr) return pFirst;
  return LinkAtEnd(pFirst, pChain);
}

ListNode *ListLast(ListNode *pFirst) { return pFirst == nullptr ? nullptr : LastNode(pFirst); }

ListNode *ListAppendIKey(ListNode *pFirst, void *pData, int iKey) {
  ListNode *pNew = ListNewNode();
  if (pNew == nullptr) return pFirst;
  pNew->data = pData;
  pNew->iKey = iKey;
  return LinkAtEnd(pFirst, pNew);
}

ListNode *ListAppendCKey(ListNode *pFirst, void *pData, const char *cKey) {
  ListNode *pNew = ListNewNode();
  if (pNew == nullptr) return pFirst;
  pNew->data = pData;
  strncpy(pNew->cKey, cKey, sizeof pNew->cKey - 1);
  pNew->cKey[sizeof pNew->cKey - 1] = '\0';
  return LinkAtEnd(pFirst, pNew);
}

ListNode *ListFindIKey(ListNode *pFirst, int iKey) {
  for (ListNode *p = pFirst; p != nullptr; p = p->link)
    if (p->iKey == iKey) return p;
  return nullptr;
}

ListNode *ListFindCKey(ListNode *pFirst, const char *cKey) {
  for (ListNode *p = pFirst; p != nullptr; p = p->link)
    if (strcmp(p->cKey, cKey) == 0) return p;
  return nullptr;
}

ListNode *ListInsertIKey(ListNode *pFirst, ListNode *pNode) {
  ListNode *p = pFirst;
  while (p->link != nullptr && p->link->iKey < pNode->iKey) p = p->link;
  if (pNode->iKey < pFirst->iKey) {
    pNode->link = pFirst;
    return pNode;
  }
  pNode->link = p->link;
  p->link = pNode;
  return pFirst;
}

ListNode *ListSortIKey(ListNode *pFirst) {
  ListNode *pCurrent = pFirst;
  while (pCurrent != nullptr && pCurrent->link != nullptr) {
    ListNode *pNext = pCurrent->link;
    if (pNext->iKey < pCurrent->iKey) {
      pCurrent->link = pNext->link;
      pNext->link = nullptr;
      pFirst = ListInsertIKey(pFirst, pNext);
    } else {
      pCurrent = pNext;
    }
  }
  return pFirst;
}

void ListPrintNode(const ListNode *pNode, FILE *pOut) {
  fprintf(pOut, "List Display:\n");
  if (pNode == nullptr) {
    fprintf(pOut, "List is NULL");
    return;
  }
  fprintf(pOut, "  iKey:  %d\n", pNode->iKey);
  fprintf(pOut, "  cKey:  %s\n", pNode->cKey);
  if (pNode->link != nullptr)
    fprintf(pOut, "  Link: %d\n", pNode->link->iKey);
  else
    fprintf(pOut, "  Link: NONE\n");
  fprintf(pOut, pNode->data != nullptr ? "  Data: YES\n\n" : "  Data: NONE\n\n");
}

void ListPrintNode(const ListNode *pNode) { ListPrintNode(pNode, stdout); }

void ListPrint(const ListNode *pFirst, FILE *pOut) {
  if (pFirst == nullptr) {
    fprintf(pOut, "List is NULL");
    return;
  }
  int iCount = 0;
  for (const ListNode *p = pFirst; p != nullptr; p = p->link) {
    ListPrintNode(p, pOut);
    fprintf(pOut, "\n");
    ++iCount;
  }
  fprintf(pOut, "LIST COUNT: %d\n", iCount);
}

void ListPrint(const ListNode *pFirst) { ListPrint(pFirst, stdout); }
