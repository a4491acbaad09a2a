// The memory a parse puts its nodes, attributes and long texts in: large blocks filled one after the
// other, so a parse makes few allocations and its texts can stay where the parser decoded them. Every
// node and attribute chunk taken from the pool holds a reference to it; the pool is freed with the last
// of them, wherever they went meanwhile (moved into another document, say). Like the rest of the model
// it belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace xml {

class TDomPool {
public:
    TDomPool() = default;
    TDomPool(const TDomPool&) = delete;
    TDomPool& operator=(const TDomPool&) = delete;

    void AddRef() { ++FReferences; }
    void Release() {
        if (--FReferences == 0)
            delete this;
    }

    // Memory for an object: eight-byte aligned.
    void* Allocate(size_t size) {
        size = (size + 7) & ~size_t(7);
        if (static_cast<size_t>(FEnd - FCurrent) < size)
            NewBlock(size);
        void* p = FCurrent;
        FCurrent += size;
        return p;
    }
    // Memory for text bytes.
    char* AllocateText(size_t size) { return static_cast<char*>(Allocate(size)); }

private:
    ~TDomPool() {
        for (void* block : FBlocks)
            std::free(block);
    }
    void NewBlock(size_t size) {
        size_t blockSize = size > FNextBlock ? size : FNextBlock;
        void* block = std::malloc(blockSize);
        if (!block)
            throw std::bad_alloc();
        FBlocks.push_back(block);
        FCurrent = static_cast<char*>(block);
        FEnd = FCurrent + blockSize;
        if (FNextBlock < kLargestBlock)
            FNextBlock *= 2;
    }

    static constexpr size_t kLargestBlock = size_t(8) << 20;
    std::vector<void*> FBlocks;
    char* FCurrent = nullptr;
    char* FEnd = nullptr;
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
struct TDomSimpleXMLProps::TChunk {
    TChunk* Next;
    TDomPool* Pool; // null for a chunk on the heap
    int32_t Count;
    int32_t Capacity;
    TDomSimpleXMLProp* Items() { return reinterpret_cast<TDomSimpleXMLProp*>(this + 1); }
};

template <class F> void TDomSimpleXMLProps::ForEach(F visit) const {
    for (TChunk* c = FFirst; c; c = c->Next) {
        TDomSimpleXMLProp* items = c->Items();
        for (int32_t i = 0; i < c->Count; ++i)
            visit(items[i]);
    }
}

} // namespace xml
