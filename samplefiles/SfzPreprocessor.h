#pragma once
// PreprocessSfz: the text of an SFZ instrument as its headers and opcodes are read from it, with the
// comments taken out and the "#define" and "#include" lines carried out.
//
//  - Comments: "//" to the end of the line, "/*" to the next "*/" (a comment that spans lines leaves a
//    line break, one on one line a space).
//  - "#define $NAME value", anywhere a word can start: from there on, "$NAME" stands for value (the
//    next word; names are "$" and letters, digits and "_"). At a "$" the longest defined name that
//    stands there is replaced, so "$ART_$DYN" reads as $ART, "_", $DYN. Values are expanded when
//    defined (and cut to kSfzMaxDefineBytes). Names that are not defined stay as they are.
//  - "#include "file"", anywhere a word can start: the file's text (expanded the same way, sharing the
//    definitions) takes its place, on lines of its own. A relative name is looked up in the including
//    file's folder, then in the instrument file's folder; backslashes count as "/"; where file names
//    keep their case, a name in another letter case is found too. A file that is already being
//    expanded (an include cycle) is left out, as are includes past kSfzMaxIncludeDepth levels or
//    kSfzMaxIncludes in all, and files that cannot be read.
//  - A "#define" or "#include" that no name follows on its line is dropped.
//  - NUL bytes become spaces; nothing else changes (line ends, tabs and spaces stay).
//
// Threads: any thread but the audio thread (it reads files and allocates).

#include <string>

// Expands the instrument file at path into text (at most kSfzMaxExpandedBytes). False, with text
// empty, when the file cannot be read (missing, no regular file, larger than kSfzMaxSourceBytes).
bool PreprocessSfz(const std::string& path, std::string& text);
