#include "framework/WndStub.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace qx {

namespace {

// The stub puts the object in place of the window handle and jumps to the target, which
// therefore has the window procedure's own shape with the object first. The stub is left
// by a jump, never returned into, so it may be freed while its window's last message runs.
struct Code {
    std::uint8_t bytes[32];
};
#if defined(_M_X64) || defined(__x86_64__)
std::size_t Emit(Code& c, void* object, TStubTarget target) {
    std::size_t n = 0;
    auto put64 = [&](std::uint64_t v) {
        std::memcpy(c.bytes + n, &v, 8);
        n += 8;
    };
    c.bytes[n++] = 0x48;  // mov rcx, imm64
    c.bytes[n++] = 0xB9;
    put64(reinterpret_cast<std::uint64_t>(object));
    c.bytes[n++] = 0x48;  // mov rax, imm64
    c.bytes[n++] = 0xB8;
    put64(reinterpret_cast<std::uint64_t>(target));
    c.bytes[n++] = 0xFF;  // jmp rax
    c.bytes[n++] = 0xE0;
    return n;
}
#else
std::size_t Emit(Code& c, void* object, TStubTarget target) {
    const std::uint8_t movArg[] = {0xC7, 0x44, 0x24, 0x04};  // mov dword ptr [esp+4], imm32
    std::memcpy(c.bytes, movArg, 4);
    auto o = reinterpret_cast<std::uint32_t>(object);
    std::memcpy(c.bytes + 4, &o, 4);
    c.bytes[8] = 0xE9;  // jmp rel32
    auto rel = reinterpret_cast<std::uint32_t>(target) - (reinterpret_cast<std::uint32_t>(c.bytes) + 13);
    std::memcpy(c.bytes + 9, &rel, 4);
    return 13;
}
#endif

}  // namespace

namespace {

// Stubs live in pages of executable memory, handed out from a free list. Windows and
// their stubs belong to the user-interface thread, so the pool is not locked.
class StubPool {
public:
    Code* Allocate() {
        if (free_.empty()) Grow();
        Code* c = free_.back();
        free_.pop_back();
        ++live_;
        return c;
    }
    void Free(Code* c) {
        std::memset(c, 0xCC, sizeof *c);  // int3: a call through a freed stub stops at once
        free_.push_back(c);
        --live_;
    }
    long Live() {
        return live_;
    }

private:
    void Grow() {
        const std::size_t size = 4096;
        void* page = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (!page) throw std::runtime_error("cannot allocate memory for window procedure stubs");
        auto* codes = static_cast<Code*>(page);
        for (std::size_t i = 0; i < size / sizeof(Code); ++i) free_.push_back(&codes[i]);
    }
    std::vector<Code*> free_;
    long live_ = 0;
};

StubPool& Pool() {
    static StubPool pool;
    return pool;
}

}  // namespace

TWndStub::TWndStub(void* object, TStubTarget target) {
    Code* c = Pool().Allocate();
    std::size_t n = Emit(*c, object, target);
    FlushInstructionCache(GetCurrentProcess(), c, n);
    proc_ = reinterpret_cast<WNDPROC>(static_cast<void*>(c));
}

TWndStub::TWndStub(TWndStub&& other) noexcept : proc_(std::exchange(other.proc_, nullptr)) {}

TWndStub& TWndStub::operator=(TWndStub&& other) noexcept {
    if (this != &other) {
        Free();
        proc_ = std::exchange(other.proc_, nullptr);
    }
    return *this;
}

TWndStub::~TWndStub() { Free(); }

void TWndStub::Free() {
    if (!proc_) return;
    Pool().Free(reinterpret_cast<Code*>(reinterpret_cast<void*>(proc_)));
    proc_ = nullptr;
}

long LiveWndStubs() { return Pool().Live(); }

}  // namespace qx
