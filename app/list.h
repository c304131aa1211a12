// The game's one container: a singly linked list handed around as a pointer
// to its first node (null is the empty list). Operations that may change the
// first node return it; callers store it back. Nodes are malloc'd; the items
// their `data` points to are never owned by the list.
#pragma once
#include <cstdint>
#include <cstdio>

struct ListNode {
  int32_t iKey;     // integer key (the Jukebox's track number)
  int32_t iSpare;   // carried along by copies, read by nobody
  char cKey[32];    // text key, at most 31 characters
  void *data;       // the item, not owned
  ListNode *link;   // next node, null at the end
};

// A zeroed node, or null (after the memory error print) when malloc fails.
ListNode *ListNewNode();
// A copy of all fields, link included, or null.
ListNode *ListCopyNode(const ListNode *pNode);
// Frees pFirst and every node after it; the items survive.
void ListFree(ListNode *pFirst);
// Appends a copy of pNode (with its link, so a whole chain can be handed over).
// The list is returned unchanged if the copy cannot be made.
ListNode *ListAppend(ListNode *pFirst, const ListNode *pNode);
// Appends a new node holding pData and returns it (the caller may set its
// keys), or null with the list unchanged when no memory is left: the item
// then still belongs to the caller. The one way the game adds to a list.
ListNode *ListPush(ListNode *&pFirst, void *pData);
// Links the nodes of pChain behind the last node of pFirst; nothing is
// copied. Returns the list's first node. Joining an empty chain costs nothing.
ListNode *ListJoin(ListNode *pFirst, ListNode *pChain);
// The last node of a list, or null for the empty list. A caller that joins
// several chains in one pass keeps it and joins behind it (ListJoin(pLast,
// pChain)), so the pass walks the list once.
ListNode *ListLast(ListNode *pFirst);
ListNode *ListAppendIKey(ListNode *pFirst, void *pData, int iKey);
// Stores at most 31 characters of cKey.
ListNode *ListAppendCKey(ListNode *pFirst, void *pData, const char *cKey);
ListNode *ListFindIKey(ListNode *pFirst, int iKey);
ListNode *ListFindCKey(ListNode *pFirst, const char *cKey);
// Insertion sort by ascending iKey.
ListNode *ListSortIKey(ListNode *pFirst);
// Inserts pNode by iKey into a non-empty list.
ListNode *ListInsertIKey(ListNode *pFirst, ListNode *pNode);
void ListPrintNode(const ListNode *pNode, FILE *pOut);
void ListPrintNode(const ListNode *pNode);
void ListPrint(const ListNode *pFirst, FILE *pOut);
void ListPrint(const ListNode *pFirst);
