#include "bar/linux/UndockedBarSize.h"

#include <string_view>

#include "bar/AppBarDocking.h"
#include "bar/linux/FreeTypeFont.h"

namespace vantrel {

std::optional<PixelSize> UndockedBarSize(int dpi) {
  constexpr int kDialogFontPoints = 8;
  FreeTypeFont font;
  if (!font.Open("MS Shell Dlg", 400, kDialogFontPoints * 64L, dpi)) return std::nullopt;
  // A dialog's horizontal base unit comes from the average width of the 52
  // letters of the alphabet.
  constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  long alphabetWidth = 0;  // 1/64 pixel
  for (char c : kAlphabet) alphabetWidth += font.Advance(font.GlyphIndex(static_cast<char32_t>(c)));
  const int baseUnitX = DialogBaseUnitX(static_cast<int>((alphabetWidth + 32) >> 6));
  return PixelSize{DialogUnitsToPixelsX(450, baseUnitX),
                   DialogUnitsToPixelsY(20, font.Ascent() + font.Descent())};
}

}  // namespace vantrel
