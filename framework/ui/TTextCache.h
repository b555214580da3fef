#pragma once
// TTextCache: what a canvas learns about a text in a font - its width and its shaped glyphs -
// kept by font and text and shared by every canvas, so that a text is shaped once whichever
// control shows it. A grid whose page moves by one record shows nine of its ten rows' texts
// again, one row up: they are drawn and measured from here without shaping them again.
//
// Two generations bound the memory: entries go into the new one; when it holds Capacity
// entries it becomes the old one (the previous old one is dropped). An entry found in the old
// generation moves back to the new one, so that whatever is on screen stays.
//
// Invariants:
// - An entry's Width is -1 or the advance of its text in its font (QFontMetrics).
// - An entry's Shaped is empty or its text prepared in its font (QStaticText).
// - The new generation holds at most Capacity entries, the old one at most Capacity.
//
// Threading: GUI thread only (QStaticText and fonts belong to it).
#include <QStaticText>

#include <optional>
#include <string>
#include <unordered_map>

class TTextCache {
public:
    static constexpr std::size_t Capacity = 1024;

    struct TEntry {
        int Width = -1;                     // -1: not measured yet
        std::optional<QStaticText> Shaped;  // empty: not drawn yet
    };

    // The one cache of the program.
    static TTextCache& Instance();

    // The entry of Text (UTF-8) in the font that FontKey names (TCanvas::FontKey); made empty when missing.
    // The reference holds until the next call.
    TEntry& Find(const std::string& FontKey, const std::string& Text);
    // Entries held, in both generations (for tests).
    std::size_t Size() const { return FNew.size() + FOld.size(); }
    void Clear();

private:
    std::unordered_map<std::string, TEntry> FNew;
    std::unordered_map<std::string, TEntry> FOld;
};
