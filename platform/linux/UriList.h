#pragma once
// Reading the text/uri-list that a file drop carries: one URI per line, lines starting with '#' are
// comments, lines end in CR LF (LF alone is accepted too).

#include <string>
#include <string_view>

namespace UriList
{
// The local path of the first file:// URI of list, or empty when the list names no local file.
// "file:///a%20b" and "file://localhost/a%20b" give "/a b"; a URI naming another host, a
// percent-escape that decodes to a NUL byte, or a malformed escape gives nothing for that line.
std::string FirstLocalPath(std::string_view list);
// The path of one file URI, or empty (see above).
std::string FileUriToPath(std::string_view uri);
} // namespace UriList
