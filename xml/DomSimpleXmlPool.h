// The memory a parse puts its nodes, attributes and long texts in: large blocks filled one after the
// other, so a parse makes few allocations and a text costs no more than its bytes and its size. Every
// node and attribute chunk taken from the pool holds a reference to it; the pool is freed with the last
// of them, wherever they went meanwhile (moved into another document, say). Like the rest of the model
// it belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace xml {

class TDomPool {
public:
    TDomPool() = default;
    TDomPool(const TDomPool&) = delete;
    TDomPool& operator=(const TDomPool&) = delete;

    void AddRef() { ++FReferences; }
    void Release(int64_t count = 1) {
        FReferences -= count;
        if (FReferences == 0)
            delete this;
    }

    // Memory for an object: eight-byte aligned.
    void* Allocate(size_t size) { return FObjects.Allocate(size, *this); }
    // Memory for text bytes. Texts come from blocks of their own, so a text can be made while objects
    // are being made in the free room of the object blocks (see Room).
    char* AllocateText(size_t size) { return static_cast<char*>(FTexts.Allocate(size, *this)); }
    // The free memory at the end of the current object block, at least Size bytes of it, without
    // taking it: a caller that fills it piece by piece, not knowing yet how much it needs, then takes
    // what it used with Take. No other object may be allocated in between.
    char* Room(size_t size) {
        if (FObjects.Free() < size)
            NewBlock(FObjects, size);
        return FObjects.Current;
    }
    // The bytes Room may hand out without starting a block.
    size_t RoomSize() const { return FObjects.Free(); }
    void Take(size_t size) { FObjects.Current += (size + 7) & ~size_t(7); }

private:
    struct TRegion {
        char* Current = nullptr;
        char* End = nullptr;
        size_t Free() const { return static_cast<size_t>(End - Current); }
        void* Allocate(size_t size, TDomPool& pool) {
            size = (size + 7) & ~size_t(7);
            if (Free() < size)
                pool.NewBlock(*this, size);
            void* p = Current;
            Current += size;
            return p;
        }
    };

    ~TDomPool();
    void NewBlock(TRegion& region, size_t size);

    static constexpr size_t kLargestBlock = size_t(8) << 20;
    std::vector<void*> FBlocks;
    TRegion FObjects;
    TRegion FTexts;
    size_t FNextBlock = size_t(64) << 10;
    int64_t FReferences = 0;
};

// Holds a reference for as long as it lives.
class TDomPoolRef {
public:
    TDomPoolRef() : FPool(new TDomPool) { FPool->AddRef(); }
    ~TDomPoolRef() { FPool->Release(); }
    TDomPoolRef(const TDomPoolRef&) = delete;
    TDomPoolRef& operator=(const TDomPoolRef&) = delete;
    TDomPool* Get() const { return FPool; }

private:
    TDomPool* FPool;
};

} // namespace xml

#include "xml/DomSimpleXml.h"

namespace xml {

// Attributes live in chunks that never move: the parser makes one chunk of exactly the size it needs,
// later additions go into chunks of growing size.
//
// A document has a chunk for nearly every element, so a chunk's header is kept small: an attribute finds
// its list rarely, by walking to the last chunk, which holds the list; and a chunk the parser made in the
// pool of its own element holds no reference to the pool, as the element holds one for as long as the
// chunk can live. A chunk in any other pool keeps its reference in a word behind its items.
struct TDomSimpleXMLProps::TChunk {
    enum TMemory : uint32_t { kHeap, kElementPool, kOwnPool };
    // The next chunk; the last one holds its list instead, with the lowest bit set.
    uintptr_t Link;
    int32_t Count;
    uint32_t Capacity : 30;
    uint32_t Memory : 2; // a TMemory
    TDomSimpleXMLProp* Items() { return reinterpret_cast<TDomSimpleXMLProp*>(this + 1); }
    // The bytes of a chunk of Capacity attributes, in memory of that kind.
    static size_t Bytes(size_t capacity, TMemory memory) {
        return sizeof(TChunk) + capacity * sizeof(TDomSimpleXMLProp) +
               (memory == kOwnPool ? sizeof(void*) : 0);
    }
    TDomPool*& PoolWord() { return *reinterpret_cast<TDomPool**>(Items() + Capacity); }
    // The pool the chunk holds a reference to, if any.
    TDomPool* Pool() { return Memory == kOwnPool ? PoolWord() : nullptr; }
    TChunk* Next() const { return Link & 1 ? nullptr : reinterpret_cast<TChunk*>(Link); }
    static uintptr_t EndOf(const TDomSimpleXMLProps* owner) { return reinterpret_cast<uintptr_t>(owner) | 1; }
    void Append(TChunk* next) {
        TChunk* last = this;
        while (last->Next())
            last = last->Next();
        last->Link = reinterpret_cast<uintptr_t>(next);
    }
};
static_assert(alignof(TDomSimpleXMLProps) > 1, "the lowest bit of a list's address marks the last chunk");

// The word before an element that says where its memory came from.
constexpr size_t kElementHeader = 8;

inline void* TDomSimpleXMLElem::operator new(size_t size, TDomPool* pool) {
    void* raw = pool->Allocate(size + kElementHeader);
    *static_cast<TDomPool**>(raw) = pool;
    pool->AddRef();
    return static_cast<char*>(raw) + kElementHeader;
}

inline void TDomSimpleXMLElems::Append(TDomSimpleXMLElem* value) {
    FLeafPool = nullptr;
    FCreated = true;
    FList.push_back(value);
    value->FContainer = this;
}

inline void TDomSimpleXMLElem::MarkChanged() {
    if (FContainer)
        FContainer->FLeafPool = nullptr;
}

inline void TDomSimpleXMLProps::AdoptChunk(void* memory, int count, TDomPool* pool, bool elementPool) {
    if (FParent)
        FParent->MarkChanged();
    FCreated = true;
    auto* chunk = new (memory) TChunk{TChunk::EndOf(this), count, static_cast<uint32_t>(count),
                                      elementPool ? TChunk::kElementPool : TChunk::kOwnPool};
    if (!elementPool) {
        chunk->PoolWord() = pool;
        pool->AddRef();
    }
    if (FFirst)
        FFirst->Append(chunk);
    else
        FFirst = chunk;
    FCount += count;
}

template <class F> void TDomSimpleXMLProps::ForEach(F visit) const {
    for (TChunk* c = FFirst; c; c = c->Next()) {
        TDomSimpleXMLProp* items = c->Items();
        for (int32_t i = 0; i < c->Count; ++i)
            visit(items[i]);
    }
}

} // namespace xml
