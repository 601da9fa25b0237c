// The editing rules of the inline text entry field.

#include "platform/linux/TextEntryModel.h"

#include <gtest/gtest.h>

namespace
{
void TypeText(TextEntryModel& m, const char* text)
{
  for (const char* p = text; *p; ++p)
    m.Key(TextEntryModel::kKeyChar, *p);
}
} // namespace

TEST(TextEntryModel, OpensWithEverythingSelectedSoTypingReplacesIt)
{
  TextEntryModel m;
  m.Start("50.0", 100);
  EXPECT_EQ(m.State(), TextEntryModel::kEditing);
  EXPECT_TRUE(m.AllSelected());
  TypeText(m, "7");
  EXPECT_EQ(m.Text(), "7");
  EXPECT_EQ(m.Caret(), 1u);
}

TEST(TextEntryModel, BackspaceOrDeleteOnTheSelectionEmptiesTheField)
{
  TextEntryModel a, b;
  a.Start("abc", 100);
  a.Key(TextEntryModel::kKeyBackspace);
  EXPECT_EQ(a.Text(), "");
  b.Start("abc", 100);
  b.Key(TextEntryModel::kKeyDelete);
  EXPECT_EQ(b.Text(), "");
}

TEST(TextEntryModel, CaretKeysEditAroundTheCaretAndStopAtTheEnds)
{
  TextEntryModel m;
  m.Start("", 100);
  EXPECT_FALSE(m.AllSelected()); // nothing to select
  TypeText(m, "abcd");
  m.Key(TextEntryModel::kKeyHome);
  m.Key(TextEntryModel::kKeyBackspace); // nothing before the caret
  m.Key(TextEntryModel::kKeyLeft);      // stays at 0
  m.Key(TextEntryModel::kKeyDelete);
  EXPECT_EQ(m.Text(), "bcd");
  m.Key(TextEntryModel::kKeyEnd);
  m.Key(TextEntryModel::kKeyDelete); // nothing after the caret
  m.Key(TextEntryModel::kKeyRight);  // stays at the end
  m.Key(TextEntryModel::kKeyBackspace);
  EXPECT_EQ(m.Text(), "bc");
  m.Key(TextEntryModel::kKeyLeft);
  TypeText(m, "X");
  EXPECT_EQ(m.Text(), "bXc");
  EXPECT_EQ(m.Caret(), 2u);
}

TEST(TextEntryModel, ControlCharactersAreNotTextAndTheLengthIsCapped)
{
  TextEntryModel m;
  m.Start("toolong", 3);
  EXPECT_EQ(m.Text(), "too");
  m.Key(TextEntryModel::kKeyEnd);
  TypeText(m, "x");
  EXPECT_EQ(m.Text(), "too");
  m.Key(TextEntryModel::kKeyBackspace);
  m.Key(TextEntryModel::kKeyChar, '\t');
  m.Key(TextEntryModel::kKeyChar, '\x7f');
  EXPECT_EQ(m.Text(), "to");
  m.Key(TextEntryModel::kKeyChar, '\xe9'); // Latin-1 letters are text
  EXPECT_EQ(m.Text(), "to\xe9");
}

TEST(TextEntryModel, EnterCommitsEscapeCancelsAndNothingEditsAfterwards)
{
  TextEntryModel m;
  m.Start("1", 10);
  m.Key(TextEntryModel::kKeyHome);
  m.Key(TextEntryModel::kKeyEnter);
  EXPECT_EQ(m.State(), TextEntryModel::kCommit);
  EXPECT_EQ(m.Caret(), 1u); // moved to the end
  TypeText(m, "2");
  EXPECT_EQ(m.Text(), "1");
  TextEntryModel c;
  c.Start("1", 10);
  c.Key(TextEntryModel::kKeyEscape);
  EXPECT_EQ(c.State(), TextEntryModel::kCancel);
  c.Reset();
  EXPECT_EQ(c.State(), TextEntryModel::kIdle);
  EXPECT_EQ(c.Text(), "");
}

TEST(TextEntryModel, UpAndDownStepThroughDisplayTextsAndWrap)
{
  TextEntryModel m;
  m.Start("Yes", 10, {"No", "Yes"});
  m.Key(TextEntryModel::kKeyDown);
  EXPECT_EQ(m.Text(), "No"); // wrapped past the last
  m.Key(TextEntryModel::kKeyUp);
  EXPECT_EQ(m.Text(), "Yes");
  TextEntryModel typed;
  typed.Start("maybe", 10, {"No", "Yes"});
  typed.Key(TextEntryModel::kKeyUp);
  EXPECT_EQ(typed.Text(), "No"); // not a choice: starts at the first
  TextEntryModel plain;
  plain.Start("3", 10);
  plain.Key(TextEntryModel::kKeyUp);
  EXPECT_EQ(plain.Text(), "3");
}
