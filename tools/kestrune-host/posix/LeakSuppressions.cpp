// The leak checker of sanitizer builds, for the host program: memory that libraries a plug-in loads
// into the process keep for its whole life is not the host's to free. fontconfig keeps a few hundred
// bytes of its configuration once a plug-in has asked it for a font.

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
