// The leak checker of sanitizer builds, for the whole test program. Each entry is memory that a system
// library keeps for the life of the process and that is not ours to free:
// - fontconfig keeps a few hundred bytes of its configuration (the fonts it chose live as long);
// - libvorbisenc keeps part of its set-up for more than two channels after vorbis_info_clear (only the
//   tests' encoder, which writes Ogg fixtures, uses it).

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n"
         "leak:vorbis_encode_setup_init\n";
}
