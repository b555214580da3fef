#include "framework/ui/TTextCache.h"

TTextCache& TTextCache::Instance()
{
    static TTextCache Cache;
    return Cache;
}

TTextCache::TEntry& TTextCache::Find(const std::string& FontKey, const std::string& Text)
{
    // The font's key never holds a NUL, so the pair is one string without ambiguity.
    std::string Key;
    Key.reserve(FontKey.size() + 1 + Text.size());
    Key.append(FontKey).push_back('\0');
    Key.append(Text);
    if (auto It = FNew.find(Key); It != FNew.end()) return It->second;
    TEntry Entry;
    if (auto It = FOld.find(Key); It != FOld.end()) {
        Entry = std::move(It->second);
        FOld.erase(It);
    }
    if (FNew.size() >= Capacity) {
        FOld = std::move(FNew);
        FNew.clear();
    }
    return FNew.emplace(std::move(Key), std::move(Entry)).first->second;
}

void TTextCache::Clear()
{
    FNew.clear();
    FOld.clear();
}
