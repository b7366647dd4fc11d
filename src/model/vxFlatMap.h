#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// Whether two short texts are equal, compared in place (a call to memcmp
// costs more than the comparison of a part type's name).
inline bool vxSameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// A map for the few keys that a load looks up once per part (part types,
// definitions): open addressing in one array, so that a look-up is a hash
// and a comparison or two. Entries are never removed.
template <class Key, class Value> class vxFlatMap {
  public:
    // The entry of key, added with a default value when missing; added
    // tells which. The reference stays valid until the next entry is added.
    Value& get(const Key& key, bool* added = nullptr)
    {
        if (2 * (m_used + 1) > m_slots.size())
            grow();
        const std::uint64_t h = hash(key);
        Slot& s = slot(key, h);
        if (added)
            *added = !s.used;
        if (!s.used) {
            s.used = true;
            s.hash = h;
            s.key = key;
            ++m_used;
        }
        return s.value;
    }

  private:
    struct Slot {
        bool used = false;
        std::uint64_t hash = 0;
        Key key{};
        Value value{};
    };

    static std::uint64_t hash(const std::string& key)
    {
        std::uint64_t h = 14695981039346656037ull; // FNV-1a
        for (char c : key)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return (h ^ (h >> 29)) * 0x9E3779B97F4A7C15ull;
    }
    static std::uint64_t hash(const void* key)
    {
        return (reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull;
    }

    static bool same(const std::string& a, const std::string& b) { return vxSameText(a, b); }
    static bool same(const void* a, const void* b) { return a == b; }

    Slot& slot(const Key& key, std::uint64_t h)
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = static_cast<std::size_t>(h >> 40) & mask;
        while (m_slots[i].used && !(m_slots[i].hash == h && same(m_slots[i].key, key)))
            i = (i + 1) & mask;
        return m_slots[i];
    }

    void grow()
    {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 64 : old.size() * 2, Slot{});
        for (Slot& s : old)
            if (s.used)
                slot(s.key, s.hash) = std::move(s);
    }

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
};
