#pragma once
// SfzElementReader: the headers and opcodes of a preprocessed SFZ text (SfzPreprocessor.h), in order.
//
// Headers and opcodes stand anywhere on a line, separated by white space (spaces, tabs, line ends
// with or without carriage returns):
//  - a header is "<" name ">" (letters, digits and "_");
//  - an opcode is name "=" value, its name made of letters, digits and "_". The value of an ordinary
//    opcode is the rest of the word (up to white space). The value of a path opcode ("sample",
//    "default_path") runs to the end of the line or to the white space before the next header or
//    opcode on it, whichever comes first, so that file names may hold spaces
//    ("sample=kick soft (1).wav lokey=36" names "kick soft (1).wav");
//  - any other word is passed over.
// Any thread; no allocation.

#include <string_view>

struct SfzElement
{
  enum class Kind
  {
    kHeader,
    kOpcode
  };
  Kind kind = Kind::kHeader;
  std::string_view name;  // the header's name without "<" and ">", or the opcode's name
  std::string_view value; // an opcode's value (may be empty); empty for a header
};

class SfzElementReader
{
public:
  explicit SfzElementReader(std::string_view text) : mText(text) {}

  // The next element; false at the end of the text.
  bool Next(SfzElement& element);

private:
  size_t PathValueEnd(size_t pos) const;
  bool OpcodeStartsAt(size_t pos) const;

  std::string_view mText;
  size_t mPos = 0;
};

// True for the opcodes whose values run over spaces.
bool IsSfzPathOpcode(std::string_view name);
