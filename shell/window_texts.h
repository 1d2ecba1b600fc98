#pragma once
// The window's own texts: title, menu captions with their access keys and the About box.

#include <QString>
#include <array>

namespace quorvel::shell::texts {

inline QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
}

inline constexpr char16_t kTitle[] = u"Quorvel";

inline constexpr char16_t kGameMenu[] = u"&Hra";
inline constexpr char16_t kNewGame[] = u"&Nová";
// In the order of core::Level: beginner, advanced, expert, custom.
inline constexpr std::array<const char16_t*, 4> kLevels{u"&Začátečník", u"&Pokročilý", u"&Expert",
                                                        u"&Vlastní pole..."};
inline constexpr char16_t kFaceMenu[] = u"&Tvář";
// Face sets 0, 1, 2.
inline constexpr std::array<const char16_t*, 3> kFaceSets{u"Běloch (žlutý běloch)", u"Černoch",
                                                          u"Ufon"};
inline constexpr char16_t kBestTimes[] = u"Nejlepší ča&sy...";
inline constexpr char16_t kQuit[] = u"&Konec";
inline constexpr char16_t kHelpMenu[] = u"Nápo&věda";
inline constexpr char16_t kAbout[] = u"&O hře Quorvel";

inline constexpr char16_t kAboutTitle[] = u"O hře Quorvel v1.2";
// Five short lines, so that none of them wraps.
inline constexpr char16_t kAboutText[] =
    u"Quorvel napsal tým Quorvel.\n"
    u"24.11.2000 - 01.12.2000 (poopraveno 18.02.2001)\n"
    u"Díky všem, kdo hru zkoušeli.\n"
    u"\n"
    u"Hra vznikla z nápadu na šestiúhelníky.";

}  // namespace quorvel::shell::texts
