// Preprocessing of SFZ files on disk: comments, #define, #include and their bounds.

#include "samplefiles/SfzPreprocessor.h"
#include "SfzTestFiles.h"
#include "samplefiles/PathCase.h"
#include "samplefiles/SfzLimits.h"

#include <gtest/gtest.h>

#include <algorithm>

using sfztest::SfzFolder;

namespace
{
std::string Expand(const std::string& path)
{
  std::string text;
  EXPECT_TRUE(PreprocessSfz(path, text)) << path;
  return text;
}

// The text with runs of white space as single spaces and none at the ends.
std::string Words(const std::string& text)
{
  std::string out;
  for (char c : text)
  {
    const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
    if (!space)
      out += c;
    else if (!out.empty() && out.back() != ' ')
      out += ' ';
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

size_t Count(const std::string& text, const std::string& word)
{
  size_t n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
    ++n;
  return n;
}
} // namespace

TEST(SfzPreprocessor, DefinitionsReplaceTheLongestNameFromWhereTheyAreMade)
{
  SfzFolder dir;
  const std::string sfz = dir.Text("d.sfz", "a=$X #define $X 1 b=$X #define $XY 2 c=$XY$X d=$X_$XY.e\n"
                                            "#define $Z $X$XY e=$Z f=$UNDEFINED g=x#define h=$\n"
                                            "#define $X 3 i=$X #define\n");
  // A "#define" without a name is dropped; one inside a word is text.
  EXPECT_EQ(Words(Expand(sfz)), "a=$X b=1 c=21 d=1_2.e e=12 f=$UNDEFINED g=x#define h=$ i=3");
}

TEST(SfzPreprocessor, CommentsGoBeforeDirectivesAndNulBytesBecomeSpaces)
{
  SfzFolder dir;
  dir.Text("inc.txt", "included");
  const std::string text = std::string("a // #include \"inc.txt\"\n/* #define $A 1\n*/ b=$A c") + '\0' + "d";
  EXPECT_EQ(Words(Expand(dir.Text("c.sfz", text))), "a b=$A c d");
}

TEST(SfzPreprocessor, IncludesComeFromTheIncludingFolderThenTheInstrumentFolderOnLinesOfTheirOwn)
{
  SfzFolder dir;
  dir.Text("inst/parts/a.txt", "A #include \"b.txt\" #include \"parts/c.txt\" #include \"none.txt\"");
  dir.Text("inst/parts/b.txt", "B"); // beside a.txt
  dir.Text("inst/parts/c.txt", "C"); // parts/parts/c.txt does not exist: from the instrument's folder
  dir.Text("inst/b.txt", "wrong B"); // the including folder comes first
  dir.Text("inst/x y/d.txt", "$V");  // a name with a space, through a definition
  const std::string sfz = dir.Text("inst/i.sfz", "start #define $V D #include \"parts\\a.txt\" mid "
                                                 "#include \"x y/d.txt\"end\n#include \"" +
                                                     dir.Path() + "/inst/parts/b.txt\"");
  const std::string text = Expand(sfz);
  EXPECT_EQ(Words(text), "start A B C mid D end B");
  EXPECT_NE(text.find("mid \nD\n"), std::string::npos) << text; // an include is a line of its own
}

TEST(SfzPreprocessor, IncludeNamesInAnotherLetterCaseAreFoundWhereNamesKeepTheirCase)
{
  if (!kFileNamesKeepCase) GTEST_SKIP() << "file names ignore case here";
  SfzFolder dir;
  dir.Text("Data/Layer.TXT", "layer");
  EXPECT_EQ(Words(Expand(dir.Text("i.sfz", "#include \"data/layer.txt\""))), "layer");
}

TEST(SfzPreprocessor, CyclesAreLeftOutAndDepthAndCountAreBounded)
{
  SfzFolder dir;
  dir.Text("self.txt", "S #include \"self.txt\"");
  dir.Text("ping.txt", "P #include \"pong.txt\"");
  dir.Text("pong.txt", "Q #include \"ping.txt\"");
  EXPECT_EQ(
      Words(Expand(dir.Text("c.sfz", "#include \"self.txt\" #include \"ping.txt\" #include \"c.sfz\""))),
      "S P Q");

  // A chain of files, each including the next: the file at kSfzMaxIncludeDepth is read, the next not.
  const int last = kSfzMaxIncludeDepth + 3;
  for (int i = 1; i <= last; ++i)
    dir.Text("chain" + std::to_string(i) + ".txt",
             "L" + std::to_string(i) + " #include \"chain" + std::to_string(i + 1) + ".txt\"");
  const std::string chain = Words(Expand(dir.Text("chain.sfz", "#include \"chain1.txt\"")));
  EXPECT_NE(chain.find("L" + std::to_string(kSfzMaxIncludeDepth)), std::string::npos);
  EXPECT_EQ(chain.find("L" + std::to_string(kSfzMaxIncludeDepth + 1)), std::string::npos);

  // A file included over and over: kSfzMaxIncludes times in all.
  dir.Text("m.txt", "m");
  std::string many;
  for (int i = 0; i < kSfzMaxIncludes + 50; ++i)
    many += "#include \"m.txt\"\n";
  EXPECT_EQ(Count(Expand(dir.Text("many.sfz", many)), "m"), static_cast<size_t>(kSfzMaxIncludes));
}

TEST(SfzPreprocessor, DefinitionsBuiltFromDefinitionsStopGrowingAtTheirBound)
{
  SfzFolder dir;
  std::string text = "#define $D0 xx\n";
  for (int i = 1; i <= 40; ++i)
    text += "#define $D" + std::to_string(i) + " $D" + std::to_string(i - 1) + "$D" + std::to_string(i - 1) +
            "\n";
  text += "v=$D40";
  EXPECT_EQ(Words(Expand(dir.Text("grow.sfz", text))), "v=" + std::string(kSfzMaxDefineBytes, 'x'));
}

TEST(SfzPreprocessor, AFileThatCannotBeReadGivesNothing)
{
  SfzFolder dir;
  std::string text = "kept";
  EXPECT_FALSE(PreprocessSfz(dir.Path() + "/missing.sfz", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(PreprocessSfz(dir.Path(), text));
}
