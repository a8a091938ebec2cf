#pragma once
#include <cstdint>
#include <functional>
#include <type_traits>

#include "sdk/qv_string.h"

namespace qv {

// Hashing and equality of map keys. Integers and enumerations use the standard hash.
template <typename K>
struct KeyTraits
{
    static_assert(std::is_integral<K>::value || std::is_enum<K>::value,
                  "add a KeyTraits specialisation for this key type");
    using Plain = typename std::conditional<std::is_enum<K>::value, std::underlying_type<K>,
                                            std::common_type<K>>::type::type;

    static uint32_t Hash(const K& key) { return static_cast<uint32_t>(std::hash<Plain>()(static_cast<Plain>(key))); }
    static bool Equal(const K& a, const K& b) { return a == b; }
};

// Strings: h = 5381, h = h * 33 + code unit; case-sensitive; a null string is the empty one.
template <typename Ch, typename MemMgr, typename Traits, int Flags>
struct KeyTraits<StringT<Ch, MemMgr, Traits, Flags>>
{
    using Key = StringT<Ch, MemMgr, Traits, Flags>;
    using Unit = typename std::make_unsigned<Ch>::type;

    static uint32_t Hash(const Key& key)
    {
        uint32_t h = 5381;
        for (const Ch* c = key.c_str(); *c != 0; ++c)
            h = h * 33 + static_cast<Unit>(*c);
        return h;
    }
    static bool Equal(const Key& a, const Key& b) { return a == b; }
};

} // namespace qv
