#include "tools/kestrune-host/Renderer.h"

#include "tools/kestrune-host/CommandPlugin.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/PluginSetup.h"
#include "tools/kestrune-host/SmfReader.h"

#include <algorithm>
#include <cmath>
#include <sndfile.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace khost
{

namespace
{
bool IsTerminal(FILE* file)
{
#ifdef _WIN32
  return _isatty(_fileno(file)) != 0;
#else
  return isatty(fileno(file)) != 0;
#endif
}

void DrawProgress(FILE* progress, int64_t done, int64_t total, int* lastShown)
{
  if (!progress || total <= 0) return;
  const int permille = static_cast<int>(done * 1000 / total);
  if (permille == *lastShown) return;
  *lastShown = permille;
  const int filled = static_cast<int>(int64_t(kProgressBarWidthChars) * done / total);
  std::fputs("\r[", progress);
  for (int i = 0; i < kProgressBarWidthChars; ++i)
    std::fputc(i < filled ? '#' : '.', progress);
  std::fprintf(progress, "] %3d%%", permille / 10);
  std::fflush(progress);
}

bool WriteWav(const std::string& path, const std::vector<float>& interleaved, int channels, double rate,
              const std::string& format, std::string* error)
{
  SF_INFO info = {};
  info.samplerate = static_cast<int>(std::lround(rate));
  info.channels = channels;
  info.format = SF_FORMAT_WAV | (format == "float"   ? SF_FORMAT_FLOAT
                                 : format == "pcm16" ? SF_FORMAT_PCM_16
                                                     : SF_FORMAT_PCM_24);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return *error = "cannot write " + path + ": " + sf_strerror(nullptr), false;
  // Integer formats clip rather than wrap around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const sf_count_t frames = static_cast<sf_count_t>(interleaved.size() / channels);
  const sf_count_t written = sf_writef_float(file, interleaved.data(), frames);
  sf_close(file);
  if (written != frames) return *error = "short write to " + path, false;
  return true;
}
} // namespace

double Renderer::ToDecibels(double linear)
{
  return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

RenderStats Renderer::Play(HostedPlugin& plugin, const MidiSong& song, double tailSeconds,
                           bool doublePrecision, std::vector<float>* interleaved, FILE* progress)
{
  RenderStats stats;
  const double rate = plugin.SampleRate();
  const int block = std::max(1, plugin.BlockSize());
  stats.channels = std::max(1, plugin.NumOutputs());
  const int64_t total = MidiSong::FrameOf(song.LengthSeconds() + tailSeconds, rate) + 1;
  stats.frames = total;
  interleaved->assign(static_cast<size_t>(total) * stats.channels, 0.0f);
  std::vector<double> sumSquares(stats.channels, 0.0);
  stats.channelPeak.assign(stats.channels, 0.0);
  plugin.SetProcessLevel(kVstProcessLevelOffline);

  // One block before the song with the transport stopped, as a DAW's engine runs before playback
  // starts: plug-ins that settle in their first render call (some drop the events delivered before
  // it) are ready when the first note comes.
  plugin.SetTransport(0.0, song.TempoAt(0.0), 0.0, false);
  plugin.Process(block, doublePrecision);

  size_t next = 0;
  int lastShown = -1;
  for (int64_t pos = 0; pos < total; pos += block)
  {
    const int n = static_cast<int>(std::min<int64_t>(block, total - pos));
    const double seconds = pos / rate;
    plugin.SetTransport(static_cast<double>(pos), song.TempoAt(seconds), song.BeatsAt(seconds), true);
    while (next < song.mEvents.size())
    {
      const SongEvent& e = song.mEvents[next];
      const int64_t frame = MidiSong::FrameOf(e.seconds, rate);
      if (frame >= pos + n) break;
      if (plugin.QueuedEvents() >= kMaxEventsPerBlock) break; // the rest go with the next block
      plugin.QueueMidi(static_cast<int>(std::max<int64_t>(0, frame - pos)), e.bytes[0], e.bytes[1],
                       e.size > 2 ? e.bytes[2] : 0);
      ++next;
    }
    plugin.Process(n, doublePrecision);
    for (int c = 0; c < stats.channels; ++c)
      for (int i = 0; i < n; ++i)
      {
        const double v = c < plugin.NumOutputs() ? plugin.OutputSample(c, i) : 0.0;
        if (!std::isfinite(v))
        {
          ++stats.nonFinite;
          continue;
        }
        (*interleaved)[static_cast<size_t>(pos + i) * stats.channels + c] = static_cast<float>(v);
        stats.channelPeak[c] = std::max(stats.channelPeak[c], std::fabs(v));
        sumSquares[c] += v * v;
      }
    DrawProgress(progress, pos + n, total, &lastShown);
  }
  if (progress) std::fputc('\n', progress);
  double allSquares = 0.0;
  for (int c = 0; c < stats.channels; ++c)
  {
    stats.channelRms.push_back(std::sqrt(sumSquares[c] / double(total)));
    stats.peak = std::max(stats.peak, stats.channelPeak[c]);
    allSquares += sumSquares[c];
  }
  stats.rms = std::sqrt(allSquares / (double(total) * stats.channels));
  return stats;
}

int Renderer::Run(const Options& options, FILE* out, FILE* err)
{
  if (options.midi.empty() || options.output.empty())
  {
    std::fputs("render needs --midi SONG.mid and -o OUT.wav\n", err);
    return 2;
  }
  std::string error;
  MidiSong song;
  if (!SmfReader::ReadFile(options.midi, &song, &error))
  {
    std::fprintf(err, "%s: %s\n", options.midi.c_str(), error.c_str());
    return 1;
  }
  CommandPlugin loaded;
  if (!loaded.Open(options, err)) return 1;
  HostedPlugin& plugin = loaded.Instance();
  const double rate = loaded.Rate();
  if (plugin.NumOutputs() < 1)
  {
    std::fprintf(err, "%s: the plug-in has no outputs\n", options.plugin.c_str());
    return 1;
  }
  if (!loaded.StartAndLoad(options.load, err)) return 1;
  if (!options.saveState.empty())
  {
    if (!plugin.HasChunks())
    {
      std::fputs("the plug-in keeps no state chunk to save\n", err);
      return 1;
    }
    if (!PluginSetup::WriteFile(options.saveState, plugin.GetChunk(), &error))
    {
      std::fprintf(err, "%s\n", error.c_str());
      return 1;
    }
  }
  const double tail = options.tail >= 0 ? options.tail : kDefaultTailSeconds;
  const bool showProgress =
      options.progress && IsTerminal(err) && song.LengthSeconds() + tail > kProgressBarMinSeconds;
  std::vector<float> audio;
  const RenderStats stats =
      Play(plugin, song, tail, options.doublePrecision, &audio, showProgress ? err : nullptr);
  if (!WriteWav(options.output, audio, stats.channels, rate, options.format, &error))
  {
    std::fprintf(err, "%s\n", error.c_str());
    return 1;
  }
  std::fprintf(out, "%s: %.3f s, %lld frames, %d channels at %g Hz in blocks of %d, %zu MIDI events\n",
               options.output.c_str(), double(stats.frames) / rate, static_cast<long long>(stats.frames),
               stats.channels, rate, loaded.Block(), song.mEvents.size());
  std::fprintf(out, "peak %.6f (%.1f dBFS), RMS %.6f (%.1f dBFS)\n", stats.peak, ToDecibels(stats.peak),
               stats.rms, ToDecibels(stats.rms));
  for (int c = 0; c < stats.channels; ++c)
    std::fprintf(out, "  channel %d: peak %.1f dBFS, RMS %.1f dBFS\n", c + 1,
                 ToDecibels(stats.channelPeak[c]), ToDecibels(stats.channelRms[c]));
  if (stats.nonFinite > 0)
  {
    std::fprintf(err, "the plug-in produced %lld samples that are not finite numbers (written as 0)\n",
                 static_cast<long long>(stats.nonFinite));
    return 1;
  }
  if (stats.peak > 1.0 && options.format != "float")
    std::fprintf(err,
                 "warning: the peak is above full scale; the integer WAV is clipped (try --format float)\n");
  return 0;
}
} // namespace khost
