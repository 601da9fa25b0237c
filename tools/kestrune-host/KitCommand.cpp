#include "tools/kestrune-host/KitCommand.h"

namespace khost
{

int KitCommand::Run(const std::string& folder, FILE* /*out*/, FILE* err)
{
  std::fprintf(err, "kit %s: not written yet\n", folder.c_str());
  return 1;
}
} // namespace khost
