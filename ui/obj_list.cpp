#include "ui/obj_list.h"

namespace lmx {

void ObjList::Unlink(ObjListNode* node) {
  if (node->prev_) node->prev_->next_ = node->next_; else head_ = node->next_;
  if (node->next_) node->next_->prev_ = node->prev_; else tail_ = node->prev_;
  node->next_ = node->prev_ = nullptr;
}

void ObjList::LinkBefore(ObjListNode* anchor, ObjListNode* node) {
  if (!anchor) {
    node->prev_ = tail_;
    node->next_ = nullptr;
    if (tail_) tail_->next_ = node; else head_ = node;
    tail_ = node;
    return;
  }
  node->next_ = anchor;
  node->prev_ = anchor->prev_;
  if (anchor->prev_) anchor->prev_->next_ = node; else head_ = node;
  anchor->prev_ = node;
}

void ObjList::Relink(ObjListNode* anchor, ObjListNode* node, bool after) {
  if (anchor == node) return;
  Unlink(node);
  LinkBefore(after ? anchor->next_ : anchor, node);
}

void ObjList::Clear() {
  ObjListNode* node = head_;
  while (node) {
    ObjListNode* next = node->next_;
    delete node;
    node = next;
  }
  head_ = tail_ = nullptr;
  nextId_ = 1;
  count_ = 0;
}

void ObjList::Add(ObjListNode* node) {
  if (!node) return;
  node->prev_ = nullptr;
  node->next_ = head_;
  if (head_) head_->prev_ = node; else tail_ = node;
  head_ = node;
  if (numbered_) node->id_ = nextId_++;
  ++count_;
}

bool ObjList::AddInOrder(ObjListNode* node) {
  if (!node) return false;
  Add(node);
  if (count_ >= 2 && !PlaceInOrder(node)) {
    Unlink(node);
    --count_;
    // The refused node leaves no trace: its id is given out again.
    if (numbered_ && node->id_ + 1 == nextId_) --nextId_;
    delete node;
    return false;
  }
  return true;
}

bool ObjList::PlaceInOrder(ObjListNode* node) {
  for (ObjListNode* n = head_; n; n = n->next_) {
    if (n == node) continue;
    const int32_t r = node->Compare(n, 0);
    if (r == ObjListNode::kRefuse) return false;
    if (r == 0 || r > 0) {
      Relink(n, node, r == 0);
      return true;
    }
  }
  // Straight to the tail, not by id: nodes of an unnumbered list all have id 0.
  if (node != tail_) {
    Unlink(node);
    LinkBefore(nullptr, node);
  }
  return true;
}

void ObjList::MoveToHead(uint32_t id) {
  if (count_ <= 1) return;
  ObjListNode* node = FindById(id, ListDirection::kFromHead);
  if (!node || node == head_) return;
  Unlink(node);
  LinkBefore(head_, node);
}

void ObjList::MoveToTail(uint32_t id) {
  if (count_ <= 1) return;
  ObjListNode* node = FindById(id, ListDirection::kFromHead);
  if (!node || node == tail_) return;
  Unlink(node);
  LinkBefore(nullptr, node);
}

void ObjList::MoveTowardsTail(uint32_t id) {
  ObjListNode* node = FindById(id, ListDirection::kFromHead);
  if (node && node->next_) Relink(node->next_, node, true);
}

void ObjList::MoveTowardsHead(uint32_t id) {
  ObjListNode* node = FindById(id, ListDirection::kFromHead);
  if (node && node->prev_) Relink(node->prev_, node, false);
}

ObjListNode* ObjList::Contains(const ObjListNode* node, ListDirection dir) const {
  if (!node) return nullptr;
  if (dir == ListDirection::kFromHead) {
    for (ObjListNode* n = head_; n; n = n->next_) if (n == node) return n;
  } else {
    for (ObjListNode* n = tail_; n; n = n->prev_) if (n == node) return n;
  }
  return nullptr;
}

ObjListNode* ObjList::FindByPredicate(const void* key, ListDirection dir, intptr_t extra) const {
  if (dir == ListDirection::kFromHead) {
    for (ObjListNode* n = head_; n; n = n->next_) if (n->Compare(key, extra) == 0) return n;
  } else {
    for (ObjListNode* n = tail_; n; n = n->prev_) if (n->Compare(key, extra) == 0) return n;
  }
  return nullptr;
}

ObjListNode* ObjList::FindById(uint32_t id, ListDirection dir) const {
  if (dir == ListDirection::kFromHead) {
    for (ObjListNode* n = head_; n; n = n->next_) if (n->id_ == id) return n;
  } else {
    for (ObjListNode* n = tail_; n; n = n->prev_) if (n->id_ == id) return n;
  }
  return nullptr;
}

ObjListNode* ObjList::NodeAt(int32_t index) const {
  if (index < 0) return nullptr;
  ObjListNode* n = head_;
  for (int32_t i = 0; n && i < index; ++i) n = n->next_;
  return n;
}

int32_t ObjList::IndexOf(const ObjListNode* node) const {
  int32_t i = 0;
  for (ObjListNode* n = head_; n; n = n->next_, ++i) if (n == node) return i;
  return -1;
}

bool ObjList::Remove(ObjListNode* node) {
  if (!Contains(node, ListDirection::kFromHead)) return false;
  Unlink(node);
  --count_;
  delete node;
  return true;
}

bool ObjList::RemoveById(uint32_t id) { return Remove(FindById(id, ListDirection::kFromHead)); }

bool ObjList::RemoveAt(int32_t index) { return Remove(NodeAt(index)); }

void ObjList::MoveNextTo(ObjListNode* anchor, ObjListNode* node, bool after) {
  // Relinking a node that is not listed would corrupt head and tail.
  if (!Contains(anchor, ListDirection::kFromHead) || !Contains(node, ListDirection::kFromHead)) return;
  Relink(anchor, node, after);
}

void ObjListIter::StartAtHead() {
  current_ = list_ ? list_->Head() : nullptr;
  index_ = current_ ? 0 : -1;
}

void ObjListIter::StartAtTail() {
  current_ = list_ ? list_->Tail() : nullptr;
  index_ = current_ ? static_cast<int32_t>(list_->Count()) - 1 : -1;
}

ObjListNode* ObjListIter::Next() {
  ObjListNode* node = current_;
  if (node) {
    current_ = node->Next();
    ++index_;
  }
  return node;
}

ObjListNode* ObjListIter::Previous() {
  ObjListNode* node = current_;
  if (node) {
    current_ = node->Prev();
    --index_;
  }
  return node;
}

}  // namespace lmx
