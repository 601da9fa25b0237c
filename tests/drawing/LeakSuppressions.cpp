// The leak checker of sanitizer builds: fontconfig keeps a few hundred bytes of its configuration
// unreachable for the life of the process (the fonts it chose live as long), which is not ours to free.
// Weak, so that another suite can supply a fuller list.

extern "C" __attribute__((weak, visibility("default"), used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
