#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "sdk/ch_traits.h"
#include "sdk/qv_mem_mgr.h"

namespace qv {

// Kept beside the block so another module's code can find the manager, length and capacity.
struct StringBufferInfo
{
    IMemMgr* manager;
    uint32_t length;
    uint32_t capacity;
    uint32_t growBy;
    uint8_t ownsBlock;
    uint8_t ownsInfo;
};

namespace string_block {

constexpr uint32_t kGuard = 0x0000ABCDu;
// front guard, info pointer, inner guard; the characters follow without padding.
constexpr size_t kHeaderSize = 4 + sizeof(void*) + 4;

template <typename Ch>
constexpr size_t BlockSize(size_t capacity)
{
    return kHeaderSize + (capacity + 1) * sizeof(Ch) + 4;
}

// A corrupted block or a misuse that cannot be reported: the process ends.
[[noreturn]] void Fatal(const char* what);

} // namespace string_block

#if defined(__i386__)
static_assert(string_block::BlockSize<wchar_t>(10) == 2 * 10 + 18, "wide block size shared with the host");
static_assert(string_block::BlockSize<char>(10) == 10 + 17, "narrow block size shared with the host");
static_assert(sizeof(void*) == 4, "i686 build");
#endif

// The SDK string: one pointer to the characters of a block that records its own manager,
// length, capacity and integrity guards. A null pointer is the empty string.
template <typename Ch, typename MemMgr, typename Traits, int Flags>
class StringT
{
public:
    static constexpr size_t kAll = static_cast<size_t>(-1);
    static constexpr uint32_t kDefaultGrowBy = 64;

    StringT() noexcept = default;
    StringT(const Ch* text)
    {
        Reallocate(64);
        Assign(text);
    }
    StringT(const Ch* text, size_t count)
    {
        Reallocate(64);
        Assign(text, count);
    }
    StringT(const StringT& other)
    {
        Reallocate(64);
        Assign(other.chars_);
    }
    // Moves never throw, so containers move strings when they grow. Another module's block is
    // copied into this module's heap rather than adopted; that copy's only failure (no memory)
    // ends the process, it does not throw.
    StringT(StringT&& other) noexcept { MoveFrom(other); }
    ~StringT() { ReleaseStorage(); }

    StringT& operator=(const StringT& other)
    {
        if (this != &other)
            Assign(other.chars_);
        return *this;
    }
    StringT& operator=(StringT&& other) noexcept
    {
        if (this != &other)
            MoveFrom(other);
        return *this;
    }
    StringT& operator=(const Ch* text)
    {
        Assign(text);
        return *this;
    }

    // A null source leaves an allocated empty string.
    void Assign(const Ch* text)
    {
        if (text == nullptr)
        {
            Reserve(0);
            SetLengthUnchecked(0);
            return;
        }
        if (chars_ != nullptr && text == chars_)
            return;
        Assign(text, Traits::Length(text));
    }

    // count == kAll measures up to the terminator.
    void Assign(const Ch* text, size_t count)
    {
        if (count == kAll)
            count = Traits::Length(text);
        if (chars_ != nullptr && text >= chars_ && text <= chars_ + Capacity())
        {
            // Source inside our own block: copy out first, the block may move.
            StringT copy;
            copy.Assign(text, count);
            Assign(copy.chars_, count);
            return;
        }
        Reserve(count);
        if (count != 0)
            std::memcpy(chars_, text, count * sizeof(Ch));
        SetLengthUnchecked(count);
    }

    void Append(const Ch* text) { Append(text, Traits::Length(text)); }
    void Append(const Ch* text, size_t count)
    {
        const size_t length = GetLength();
        if (count == 0)
            return;
        if (chars_ != nullptr && text >= chars_ && text <= chars_ + Capacity())
        {
            StringT copy(text, count);
            Append(copy.chars_, count);
            return;
        }
        Reserve(length + count);
        std::memcpy(chars_ + length, text, count * sizeof(Ch));
        SetLengthUnchecked(length + count);
    }

    size_t GetLength() const noexcept { return chars_ ? Info()->length : 0; }
    size_t Capacity() const noexcept { return chars_ ? Info()->capacity : 0; }
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    bool IsAllocated() const noexcept { return chars_ != nullptr; }

    // Never null: the empty string when nothing is allocated.
    const Ch* c_str() const noexcept { return chars_ ? chars_ : EmptyText(); }
    // The raw pointer (null when nothing is allocated), for code that writes into the buffer.
    Ch* GetBuffer() noexcept { return chars_; }

    IMemMgr* Manager() const noexcept { return chars_ ? Info()->manager : nullptr; }

    bool Reserve(size_t n)
    {
        size_t cap = 0;
        size_t step = kDefaultGrowBy;
        if (chars_ != nullptr)
        {
            cap = Info()->capacity;
            step = Info()->growBy;
        }
        if (cap >= n && cap != 0)
            return true;
        size_t grow = (n > cap ? n - cap : 0);
        if (grow < step)
            grow = step;
        size_t newCapacity;
        if (cap < 1024)
            newCapacity = (grow < cap) ? 2 * cap : cap + grow;
        else
            newCapacity = cap + (grow < 1024 ? 1024 : grow);
        return Reallocate(newCapacity);
    }

    bool Reallocate(size_t n)
    {
        StringBufferInfo* info = nullptr;
        unsigned char* oldBlock = nullptr;
        size_t oldSize = 0;
        bool ownedOld = false;
        if (chars_ != nullptr)
        {
            info = Info();
            oldBlock = BlockOf(chars_);
            oldSize = string_block::BlockSize<Ch>(info->capacity);
            ownedOld = info->ownsBlock != 0;
        }
        else
        {
            IMemMgr& manager = MemMgr::Instance();
            info = static_cast<StringBufferInfo*>(manager.Allocate(sizeof(StringBufferInfo)));
            if (info == nullptr)
                string_block::Fatal("out of memory for a string");
            *info = StringBufferInfo{&manager, 0, 0, kDefaultGrowBy, 0, 1};
        }

        const size_t size = string_block::BlockSize<Ch>(n);
        IMemMgr* manager = info->manager;
        auto* block = static_cast<unsigned char*>(manager->Reallocate(ownedOld ? oldBlock : nullptr, size));
        if (block == nullptr)
        {
            block = static_cast<unsigned char*>(manager->Allocate(size));
            if (block == nullptr)
                string_block::Fatal("out of memory for a string");
            if (ownedOld)
            {
                std::memcpy(block, oldBlock, size < oldSize ? size : oldSize);
                manager->Free(oldBlock);
            }
            else
            {
                std::memset(block, 0, size);
            }
        }
        else if (!ownedOld)
        {
            std::memset(block, 0, size);
        }
        if (oldBlock != nullptr && !ownedOld)
            std::memcpy(block, oldBlock, size < oldSize ? size : oldSize);

        WriteHeader(block, info);
        chars_ = reinterpret_cast<Ch*>(block + string_block::kHeaderSize);
        chars_[n] = 0;
        info->capacity = static_cast<uint32_t>(n);
        info->ownsBlock = 1;
        if (info->length > n)
            info->length = static_cast<uint32_t>(n);
        chars_[info->length] = 0;
        WriteRearGuard();
        VerifyGuards();
        return true;
    }

    // n == kAll: the length becomes the position of the first zero character.
    void SetLength(size_t n)
    {
        if (chars_ == nullptr)
        {
            if (n != 0 && n != kAll)
                string_block::Fatal("string length beyond capacity");
            return;
        }
        if (n == kAll)
            n = Traits::Length(chars_);
        if (n > Info()->capacity)
            string_block::Fatal("string length beyond capacity");
        SetLengthUnchecked(n);
    }

    static StringT Format(const Ch* format, ...)
    {
        va_list args;
        va_start(args, format);
        StringT result = FormatV(format, args);
        va_end(args);
        return result;
    }

    static StringT FormatV(const Ch* format, va_list args)
    {
        StringT result;
        if (format == nullptr)
        {
            result.Assign(nullptr);
            return result;
        }
        va_list measureArgs;
        va_copy(measureArgs, args);
        const int needed = Traits::Measure(format, measureArgs);
        va_end(measureArgs);
        const size_t n = needed > 0 ? static_cast<size_t>(needed) : 0;
        result.Reserve(n + 2);
        Traits::Print(result.chars_, n + 1, format, args);
        result.SetLength(n);
        result.VerifyGuards();
        return result;
    }

    // Exact comparison of code units; null equals empty.
    friend bool operator==(const StringT& a, const StringT& b) { return Compare(a.c_str(), b.c_str()) == 0; }
    friend bool operator!=(const StringT& a, const StringT& b) { return !(a == b); }
    friend bool operator<(const StringT& a, const StringT& b) { return Compare(a.c_str(), b.c_str()) < 0; }

    void VerifyGuards() const
    {
        if (chars_ == nullptr)
            return;
        const unsigned char* block = BlockOf(chars_);
        if (ReadU32(block) != string_block::kGuard ||
            ReadU32(block + 4 + sizeof(void*)) != string_block::kGuard)
            string_block::Fatal("string block guard overwritten");
        const size_t capacity = Info()->capacity;
        if (ReadU32(reinterpret_cast<const unsigned char*>(chars_ + capacity + 1)) != string_block::kGuard)
            string_block::Fatal("string block rear guard overwritten");
    }

private:
    static const Ch* EmptyText() noexcept
    {
        static const Ch empty[1] = {0};
        return empty;
    }

    static int Compare(const Ch* a, const Ch* b)
    {
        using U = typename std::conditional<sizeof(Ch) == 1, unsigned char, uint16_t>::type;
        for (;; ++a, ++b)
        {
            const U ca = static_cast<U>(*a);
            const U cb = static_cast<U>(*b);
            if (ca != cb)
                return ca < cb ? -1 : 1;
            if (ca == 0)
                return 0;
        }
    }

    static unsigned char* BlockOf(Ch* chars) noexcept
    {
        return reinterpret_cast<unsigned char*>(chars) - string_block::kHeaderSize;
    }
    static const unsigned char* BlockOf(const Ch* chars) noexcept
    {
        return reinterpret_cast<const unsigned char*>(chars) - string_block::kHeaderSize;
    }
    static uint32_t ReadU32(const unsigned char* p) noexcept
    {
        uint32_t value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    static void WriteU32(unsigned char* p, uint32_t value) noexcept { std::memcpy(p, &value, sizeof value); }

    StringBufferInfo* Info() const noexcept
    {
        StringBufferInfo* info;
        std::memcpy(&info, BlockOf(chars_) + 4, sizeof info);
        return info;
    }

    static void WriteHeader(unsigned char* block, StringBufferInfo* info) noexcept
    {
        WriteU32(block, string_block::kGuard);
        std::memcpy(block + 4, &info, sizeof info);
        WriteU32(block + 4 + sizeof(void*), string_block::kGuard);
    }

    void WriteRearGuard() noexcept
    {
        WriteU32(reinterpret_cast<unsigned char*>(chars_ + Info()->capacity + 1), string_block::kGuard);
    }

    void SetLengthUnchecked(size_t n)
    {
        Info()->length = static_cast<uint32_t>(n);
        chars_[n] = 0;
        VerifyGuards();
    }

    // Only a block of the manager this string would free through is taken over.
    void MoveFrom(StringT& other) noexcept
    {
        IMemMgr* mine = chars_ ? Info()->manager : &MemMgr::Instance();
        if (other.chars_ != nullptr && other.Info()->manager == mine)
        {
            ReleaseStorage();
            chars_ = std::exchange(other.chars_, nullptr);
            return;
        }
        Assign(other.chars_);
    }

    void ReleaseStorage()
    {
        if (chars_ == nullptr)
            return;
        VerifyGuards();
        StringBufferInfo* info = Info();
        IMemMgr* manager = info->manager;
        if (info->ownsBlock)
            manager->Free(BlockOf(chars_));
        if (info->ownsInfo)
            manager->Free(info);
        manager->Release();
        chars_ = nullptr;
    }

    Ch* chars_ = nullptr;
};

using WString = StringT<wchar_t, StringMemMgr, ChTraitsCRT<wchar_t>, 1>;
using AString = StringT<char, StringMemMgr, ChTraitsCRT<char>, 1>;

static_assert(sizeof(WString) == sizeof(void*), "a string is one pointer across module boundaries");
static_assert(std::is_nothrow_move_constructible<WString>::value && std::is_nothrow_move_assignable<WString>::value,
              "containers of strings move them instead of copying");
static_assert(std::is_nothrow_move_constructible<AString>::value && std::is_nothrow_move_assignable<AString>::value,
              "containers of strings move them instead of copying");

} // namespace qv
