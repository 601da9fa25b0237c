#pragma once
// Lists the names a shared object exports: the defined global and weak symbols of its dynamic symbol
// table, read straight from the ELF file (no external tool needed).

#include <string>
#include <vector>

namespace plugintest
{

// Returns false when the file cannot be read or is not a 64-bit ELF file.
bool ReadElfExports(const std::string& path, std::vector<std::string>* names);
} // namespace plugintest
