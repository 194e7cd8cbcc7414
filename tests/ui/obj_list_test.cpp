#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/obj_list.h"

using lmx::ListDirection;
using lmx::ObjList;
using lmx::ObjListIter;
using lmx::ObjListNode;

namespace {

// A node ordered by its key; equal keys are refused when `refuseEqual` is set.
class KeyNode : public ObjListNode {
 public:
  KeyNode(int key, int* destroyed, bool refuseEqual = false)
      : key_(key), destroyed_(destroyed), refuseEqual_(refuseEqual) {}
  ~KeyNode() override { if (destroyed_) ++*destroyed_; }
  int32_t Compare(const void* other, intptr_t extra) const override {
    // extra 1: `other` is a plain int key (the predicate search).
    const int otherKey = extra == 1 ? *static_cast<const int*>(other) : static_cast<const KeyNode*>(other)->key_;
    if (otherKey == key_) return refuseEqual_ ? kRefuse : 0;
    return otherKey > key_ ? 1 : -1;
  }
  int key() const { return key_; }

 private:
  int key_;
  int* destroyed_;
  bool refuseEqual_;
};

std::vector<int> Keys(const ObjList& list) {
  std::vector<int> keys;
  ObjListIter it(&list);
  it.StartAtHead();
  while (ObjListNode* n = it.Next()) keys.push_back(static_cast<KeyNode*>(n)->key());
  return keys;
}

std::vector<int> KeysBackwards(const ObjList& list) {
  std::vector<int> keys;
  ObjListIter it(&list);
  it.StartAtTail();
  while (ObjListNode* n = it.Previous()) keys.push_back(static_cast<KeyNode*>(n)->key());
  return keys;
}

TEST(ObjList, AddPutsEachNodeAtTheHeadWithTheNextId) {
  ObjList list;
  int destroyed = 0;
  auto* a = new KeyNode(1, &destroyed);
  auto* b = new KeyNode(2, &destroyed);
  auto* c = new KeyNode(3, &destroyed);
  list.Add(a);
  list.Add(b);
  list.Add(c);
  EXPECT_EQ(Keys(list), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(KeysBackwards(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(a->Id(), 1u);
  EXPECT_EQ(c->Id(), 3u);
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.NextId(), 4u);
  list.Clear();
  EXPECT_EQ(destroyed, 3);
  EXPECT_EQ(list.Head(), nullptr);
  EXPECT_EQ(list.Tail(), nullptr);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.NextId(), 1u);

  ObjList unnumbered(false);
  auto* d = new KeyNode(4, nullptr);
  unnumbered.Add(d);
  EXPECT_EQ(d->Id(), 0u);
}

TEST(ObjList, OrderedInsertKeepsTheListSortedAndRefusesWithMinusTwo) {
  int destroyed = 0;
  ObjList list;
  for (int key : {5, 1, 9, 3, 7, 9}) EXPECT_TRUE(list.AddInOrder(new KeyNode(key, &destroyed)));
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 3, 5, 7, 9, 9}));
  EXPECT_EQ(KeysBackwards(list), (std::vector<int>{9, 9, 7, 5, 3, 1}));

  ObjList strict;
  for (int key : {20, 10, 30}) ASSERT_TRUE(strict.AddInOrder(new KeyNode(key, &destroyed, true)));
  const uint32_t nextId = strict.NextId();
  EXPECT_FALSE(strict.AddInOrder(new KeyNode(10, &destroyed, true)));
  EXPECT_EQ(destroyed, 1) << "the refused node is destroyed";
  EXPECT_EQ(Keys(strict), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(KeysBackwards(strict), (std::vector<int>{30, 20, 10}));
  EXPECT_EQ(strict.Count(), 3u);
  EXPECT_EQ(strict.NextId(), nextId) << "the list is as it was";
  // A refusal at the tail end of the walk.
  EXPECT_FALSE(strict.AddInOrder(new KeyNode(30, &destroyed, true)));
  EXPECT_EQ(Keys(strict), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(strict.Tail()->Prev()->Next(), strict.Tail());

  // Unnumbered lists place a node that sorts last at the tail too.
  ObjList unnumbered(false);
  for (int key : {2, 1, 3}) EXPECT_TRUE(unnumbered.AddInOrder(new KeyNode(key, &destroyed)));
  EXPECT_EQ(Keys(unnumbered), (std::vector<int>{1, 2, 3}));
}

TEST(ObjList, MovesByIdAndNextToAnotherNode) {
  ObjList list;
  auto* one = new KeyNode(1, nullptr);
  list.Add(one);
  list.MoveToHead(one->Id());
  list.MoveToTail(one->Id());
  list.MoveTowardsHead(one->Id());
  list.MoveTowardsTail(one->Id());
  EXPECT_EQ(list.Head(), one);
  EXPECT_EQ(list.Tail(), one);

  auto* two = new KeyNode(2, nullptr);
  auto* three = new KeyNode(3, nullptr);
  list.Add(two);
  list.Add(three);  // 3 2 1
  list.MoveToTail(three->Id());
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3}));
  list.MoveToHead(three->Id());
  EXPECT_EQ(Keys(list), (std::vector<int>{3, 2, 1}));
  list.MoveTowardsTail(three->Id());
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 3, 1}));
  list.MoveTowardsHead(one->Id());
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3}));
  list.MoveTowardsHead(two->Id());  // already first
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3}));
  list.MoveNextTo(two, two, true);
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3}));
  list.MoveNextTo(two, three, false);
  EXPECT_EQ(Keys(list), (std::vector<int>{3, 2, 1}));
  list.MoveNextTo(one, three, true);
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(KeysBackwards(list), (std::vector<int>{3, 1, 2}));

  KeyNode stranger(9, nullptr);
  list.MoveNextTo(one, &stranger, true);
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 1, 3})) << "a node of no list is not linked in";
  EXPECT_EQ(list.Count(), 3u);
}

TEST(ObjList, FindsAndRemovesByNodeIdIndexAndPredicate) {
  int destroyed = 0;
  ObjList list;
  for (int key : {30, 20, 10}) list.Add(new KeyNode(key, &destroyed));  // 10 20 30, ids 3 2 1
  ObjListNode* middle = list.NodeAt(1);
  ASSERT_NE(middle, nullptr);
  EXPECT_EQ(static_cast<KeyNode*>(middle)->key(), 20);
  EXPECT_EQ(list.NodeAt(3), nullptr);
  EXPECT_EQ(list.NodeAt(-1), nullptr);
  EXPECT_EQ(list.IndexOf(middle), 1);
  EXPECT_EQ(list.FindById(2, ListDirection::kFromHead), middle);
  EXPECT_EQ(list.FindById(2, ListDirection::kFromTail), middle);
  EXPECT_EQ(list.FindById(7, ListDirection::kFromHead), nullptr);
  EXPECT_EQ(list.Contains(middle, ListDirection::kFromTail), middle);
  int key = 30;
  ObjListNode* found = list.FindByPredicate(&key, ListDirection::kFromHead, 1);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(static_cast<KeyNode*>(found)->key(), 30);
  key = 31;
  EXPECT_EQ(list.FindByPredicate(&key, ListDirection::kFromTail, 1), nullptr);

  KeyNode stranger(5, nullptr);
  EXPECT_EQ(list.IndexOf(&stranger), -1);
  EXPECT_FALSE(list.Remove(&stranger));
  EXPECT_TRUE(list.Remove(middle));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(Keys(list), (std::vector<int>{10, 30}));
  EXPECT_FALSE(list.RemoveById(2));
  EXPECT_TRUE(list.RemoveById(1));
  EXPECT_EQ(Keys(list), (std::vector<int>{10}));
  EXPECT_FALSE(list.RemoveAt(1));
  EXPECT_TRUE(list.RemoveAt(0));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Head(), nullptr);
  EXPECT_EQ(list.Tail(), nullptr);
  EXPECT_EQ(destroyed, 3);
}

TEST(ObjList, IteratorOverAnEmptyListYieldsNothing) {
  ObjList list;
  ObjListIter it(&list);
  it.StartAtHead();
  EXPECT_EQ(it.Index(), -1);
  EXPECT_EQ(it.Next(), nullptr);
  it.StartAtTail();
  EXPECT_EQ(it.Index(), -1);
  EXPECT_EQ(it.Previous(), nullptr);
}

TEST(ObjList, IteratorCountsAndSurvivesRemovalOfTheNodeJustReturned) {
  int destroyed = 0;
  ObjList list;
  for (int key : {4, 3, 2, 1}) list.Add(new KeyNode(key, &destroyed));
  ObjListIter it(&list);
  it.StartAtHead();
  std::vector<int> kept;
  while (ObjListNode* n = it.Next()) {
    if (static_cast<KeyNode*>(n)->key() % 2 == 0) list.Remove(n);
    else kept.push_back(static_cast<KeyNode*>(n)->key());
  }
  EXPECT_EQ(kept, (std::vector<int>{1, 3}));
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 3}));
  it.StartAtTail();
  EXPECT_EQ(it.Index(), 1);
  it.Previous();
  EXPECT_EQ(it.Index(), 0);
}

TEST(ObjList, DestroyingADerivedListDestroysItsNodes) {
  int destroyed = 0;
  struct NamedList : ObjList {
    std::wstring name = L"derived";
  };
  auto* list = new NamedList;
  list->Add(new KeyNode(1, &destroyed));
  list->Add(new KeyNode(2, &destroyed));
  ObjList* base = list;
  delete base;
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
