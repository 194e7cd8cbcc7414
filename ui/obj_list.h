// The owning, ordered, doubly linked list on which the program's lists are built.
//
// Items derive from ObjListNode and give it a comparison; lists derive from ObjList when they
// need fields of their own. The list owns its nodes: removing or clearing deletes them (the
// virtual destructor is the node's "destroy"). Operations report a missing node with null,
// 0 or -1 and never show a message.
#pragma once

#include <cstdint>

namespace lmx {

class ObjListNode {
 public:
  // Returned by Compare when the two cannot stand in one list: the ordered insert refuses.
  static constexpr int32_t kRefuse = -2;

  ObjListNode() = default;
  virtual ~ObjListNode() = default;
  ObjListNode(const ObjListNode&) = delete;
  ObjListNode& operator=(const ObjListNode&) = delete;

  // Compares with another node of the same list, or with a search key (FindByPredicate).
  // Positive: `other` sorts after this node; 0: equal; negative: before; kRefuse: refuse.
  // The base has no order: every node sorts after the ones already listed.
  virtual int32_t Compare(const void* other, intptr_t extra) const { return -1; }

  ObjListNode* Next() const { return next_; }
  ObjListNode* Prev() const { return prev_; }
  uint32_t Id() const { return id_; }

 private:
  friend class ObjList;
  ObjListNode* next_ = nullptr;
  ObjListNode* prev_ = nullptr;
  uint32_t id_ = 0;
};

enum class ListDirection { kFromHead, kFromTail };

class ObjList {
 public:
  // Numbered lists give each added node the next id (from 1).
  explicit ObjList(bool numbered = true) : numbered_(numbered) {}
  virtual ~ObjList() { Clear(); }
  ObjList(const ObjList&) = delete;
  ObjList& operator=(const ObjList&) = delete;

  virtual void Clear();                       // deletes every node; next id back to 1
  virtual void Add(ObjListNode* node);        // at the head, numbered when the list is
  virtual bool AddInOrder(ObjListNode* node); // add, then place; a refused node is deleted
  virtual bool PlaceInOrder(ObjListNode* node);
  virtual void MoveToHead(uint32_t id);
  virtual void MoveToTail(uint32_t id);
  virtual void MoveTowardsTail(uint32_t id);  // one step: after its successor
  virtual void MoveTowardsHead(uint32_t id);  // one step: before its predecessor
  virtual ObjListNode* Contains(const ObjListNode* node, ListDirection dir) const;
  // First node whose Compare(key, extra) is 0, or null.
  virtual ObjListNode* FindByPredicate(const void* key, ListDirection dir, intptr_t extra) const;
  virtual ObjListNode* FindById(uint32_t id, ListDirection dir) const;
  virtual ObjListNode* NodeAt(int32_t index) const;
  virtual int32_t IndexOf(const ObjListNode* node) const;
  virtual bool Remove(ObjListNode* node);  // unlinks and deletes a listed node
  virtual bool RemoveById(uint32_t id);
  virtual bool RemoveAt(int32_t index);
  // Relinks `node` directly after (after = true) or before `anchor`; both must be listed.
  virtual void MoveNextTo(ObjListNode* anchor, ObjListNode* node, bool after);

  ObjListNode* Head() const { return head_; }
  ObjListNode* Tail() const { return tail_; }
  uint32_t Count() const { return count_; }
  uint32_t NextId() const { return nextId_; }
  bool Numbered() const { return numbered_; }

 private:
  void Unlink(ObjListNode* node);
  void LinkBefore(ObjListNode* anchor, ObjListNode* node);  // anchor null: at the tail
  void Relink(ObjListNode* anchor, ObjListNode* node, bool after);  // both listed

  ObjListNode* head_ = nullptr;
  ObjListNode* tail_ = nullptr;
  uint32_t nextId_ = 1;
  uint32_t count_ = 0;
  bool numbered_;
};

// One pass over a list, forwards or backwards. The list may change during the pass only
// through the node just returned (removing it is fine: the iterator has stepped past it).
class ObjListIter {
 public:
  explicit ObjListIter(const ObjList* list) : list_(list) {}
  void StartAtHead();
  void StartAtTail();
  ObjListNode* Next();      // the current node, then one step towards the tail
  ObjListNode* Previous();  // the current node, then one step towards the head
  int32_t Index() const { return index_; }

 private:
  const ObjList* list_;
  ObjListNode* current_ = nullptr;
  int32_t index_ = -1;
};

}  // namespace lmx
