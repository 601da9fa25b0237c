#include "plugin/ElfExports.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>

namespace plugintest
{

namespace
{
template <typename T> bool ReadAt(const std::vector<char>& file, size_t pos, T* out)
{
  if (pos > file.size() || file.size() - pos < sizeof(T)) return false;
  std::memcpy(out, file.data() + pos, sizeof(T));
  return true;
}
} // namespace

bool ReadElfExports(const std::string& path, std::vector<std::string>* names)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Elf64_Ehdr eh;
  if (!ReadAt(file, 0, &eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64)
    return false;
  for (int i = 0; i < eh.e_shnum; ++i)
  {
    Elf64_Shdr sh;
    if (!ReadAt(file, eh.e_shoff + size_t(i) * eh.e_shentsize, &sh)) return false;
    if (sh.sh_type != SHT_DYNSYM) continue;
    Elf64_Shdr strtab;
    if (!ReadAt(file, eh.e_shoff + size_t(sh.sh_link) * eh.e_shentsize, &strtab)) return false;
    for (size_t off = 0; off + sizeof(Elf64_Sym) <= sh.sh_size; off += sizeof(Elf64_Sym))
    {
      Elf64_Sym sym;
      if (!ReadAt(file, sh.sh_offset + off, &sym)) return false;
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK) || sym.st_name == 0) continue;
      if (sym.st_name >= strtab.sh_size) return false;
      const char* name = file.data() + strtab.sh_offset + sym.st_name;
      names->emplace_back(name, strnlen(name, strtab.sh_size - sym.st_name));
    }
    return true;
  }
  return false;
}
} // namespace plugintest
