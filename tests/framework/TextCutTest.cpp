// Texts cut to a field or counted for display: by UTF-8 characters as the editor draws them, never
// inside one, in the text helpers and where the framework uses them (parameter display texts, hidden
// text fields).

#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"
#include "framework/TextUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(TextCut, CharactersAreWellFormedSequencesAndEveryOtherByteCountsAlone)
{
  EXPECT_EQ(CountChars(""), 0u);
  EXPECT_EQ(CountChars("\u00dcn\u00efc\u00f8d\u00e9 \u00f1ame.wav"), 16u); // 21 bytes
  EXPECT_EQ(CountChars("\u20ac\U0001D11E"), 2u);                           // three and four bytes
  // A Latin-1 byte, a lone continuation byte, an overlong form and a cut-off sequence: one each.
  EXPECT_EQ(CountChars("caf\xe9"), 4u);
  EXPECT_EQ(CountChars("\x80z"), 2u);
  EXPECT_EQ(CountChars("\xc0\xaf"), 2u);
  EXPECT_EQ(CountChars("\xe2\x82"), 2u);

  EXPECT_EQ(CharPrefixBytes("\u00e9\u00e9\u00e9", 2), 4u);
  EXPECT_EQ(CharPrefixBytes("\u00e9\u00e9\u00e9", 9), 6u);
  EXPECT_EQ(CharPrefixBytes("\u00e9", 0), 0u);
  EXPECT_EQ(FitBytes("a\u20ac\u20ac", 6), 4u); // the second euro sign would end at byte 7
  EXPECT_EQ(FitBytes("a\u20ac\u20ac", 7), 7u);
  EXPECT_EQ(FitBytes("caf\xe9", 3), 3u);
}

TEST(TextCut, CopyTextCutsAtTheEndOfAWholeCharacter)
{
  struct Case
  {
    const char* src;
    const char* kept; // in a field of 8 bytes: at most 7 and the terminator
  };
  const Case cases[] = {
      {"abcdefghij", "abcdefg"},
      {"a\u00e9\u00e9\u00e9\u00e9", "a\u00e9\u00e9\u00e9"},     // seven bytes exactly
      {"\u00e9\u00e9\u00e9\u00e9\u00e9", "\u00e9\u00e9\u00e9"}, // the fourth would need bytes 7 and 8
      {"\u20ac\u20ac\u20ac", "\u20ac\u20ac"},
      {"abcd\U0001D11E", "abcd"},
      {"abc\U0001D11E", "abc\U0001D11E"},
      {"abcdef\xe9\xe9", "abcdef\xe9"}, // Latin-1 bytes are characters of one byte
  };
  for (const Case& c : cases)
  {
    char field[8];
    std::memset(field, 'z', sizeof(field));
    CopyText(field, sizeof(field), c.src);
    EXPECT_STREQ(field, c.kept) << c.src;
  }
}

TEST(TextCut, LongDisplayTextsKeepWholeCharactersAndHiddenTextsShowOneAsteriskPerCharacter)
{
  IParam p;
  p.InitEnum("Mode", 0, 2);
  std::string longText;
  for (int i = 0; i < 20; ++i)
    longText += "\u00e9"; // 40 bytes
  p.SetDisplayText(0, ("x" + longText).c_str());
  char out[MAX_PARAM_NAME_LEN];
  p.GetDisplayForHost(0.0, false, out, sizeof(out));
  EXPECT_EQ(std::string(out), "x" + longText.substr(0, 30)); // 31 bytes: x and 15 whole characters

  IEditableTextControl field(nullptr, IRECT(0, 0, 10, 10), nullptr, "p\u00e4ssw\u00f6rd", true, true);
  EXPECT_EQ(field.ShownText(), "********");
}
