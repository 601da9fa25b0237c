/* A stand-in for the ALSA sequencer, loaded with LD_PRELOAD into a host that will not start without one
 * (Qtractor) on a machine whose kernel has no sound support (no /dev/snd/seq). It answers the calls
 * that need the kernel as an empty sequencer would: one client, ports and a queue that take every
 * event and deliver none, no other clients or ports to list. The info records (sizeof, get, set) stay
 * those of the real library. Only for the manual host checks: no MIDI passes through it.
 *
 * Built by build-tools.sh into OUT/alsa-seq-stand-in.so. No ALSA headers needed: handles are opaque. */

#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stddef.h>
#include <string.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

/* From the real library (resolved in the host's process). */
extern size_t snd_seq_queue_status_sizeof(void);
extern size_t snd_seq_queue_tempo_sizeof(void);

static char handle_storage[64];
static int next_port;
static int next_queue;
static int quiet_pipe[2] = {-1, -1};

EXPORT int snd_seq_open(void** seq, const char* name, int streams, int mode)
{
  (void)name, (void)streams, (void)mode;
  if (quiet_pipe[0] < 0 && pipe2(quiet_pipe, O_CLOEXEC) != 0) return -errno;
  *seq = handle_storage;
  return 0;
}
EXPORT int snd_seq_close(void* seq)
{
  return seq == handle_storage ? 0 : -EINVAL;
}
EXPORT int snd_seq_set_client_name(void* seq, const char* name)
{
  (void)seq, (void)name;
  return 0;
}
EXPORT int snd_seq_client_id(void* seq)
{
  (void)seq;
  return 128;
}
EXPORT int snd_seq_create_simple_port(void* seq, const char* name, unsigned caps, unsigned type)
{
  (void)seq, (void)name, (void)caps, (void)type;
  return next_port++;
}
EXPORT int snd_seq_delete_simple_port(void* seq, int port)
{
  (void)seq, (void)port;
  return 0;
}
EXPORT int snd_seq_alloc_queue(void* seq)
{
  (void)seq;
  return next_queue++;
}
EXPORT int snd_seq_free_queue(void* seq, int q)
{
  (void)seq, (void)q;
  return 0;
}
EXPORT int snd_seq_control_queue(void* seq, int q, int type, int value, void* ev)
{
  (void)seq, (void)q, (void)type, (void)value, (void)ev;
  return 0;
}
EXPORT int snd_seq_get_queue_status(void* seq, int q, void* status)
{
  (void)seq, (void)q;
  memset(status, 0, snd_seq_queue_status_sizeof());
  return 0;
}
EXPORT int snd_seq_get_queue_tempo(void* seq, int q, void* tempo)
{
  (void)seq, (void)q;
  memset(tempo, 0, snd_seq_queue_tempo_sizeof());
  return 0;
}
EXPORT int snd_seq_set_queue_tempo(void* seq, int q, void* tempo)
{
  (void)seq, (void)q, (void)tempo;
  return 0;
}
EXPORT int snd_seq_set_queue_timer(void* seq, int q, void* timer)
{
  (void)seq, (void)q, (void)timer;
  return 0;
}
EXPORT int snd_seq_drain_output(void* seq)
{
  (void)seq;
  return 0;
}
EXPORT int snd_seq_drop_input(void* seq)
{
  (void)seq;
  return 0;
}
EXPORT int snd_seq_drop_output(void* seq)
{
  (void)seq;
  return 0;
}
EXPORT int snd_seq_event_output(void* seq, void* ev)
{
  (void)seq, (void)ev;
  return 0;
}
EXPORT int snd_seq_event_output_direct(void* seq, void* ev)
{
  (void)seq, (void)ev;
  return 0;
}
EXPORT int snd_seq_event_input(void* seq, void** ev)
{
  (void)seq;
  *ev = NULL;
  return -EAGAIN;
}
EXPORT int snd_seq_event_input_pending(void* seq, int fetch)
{
  (void)seq, (void)fetch;
  return 0;
}
EXPORT int snd_seq_remove_events(void* seq, void* rm)
{
  (void)seq, (void)rm;
  return 0;
}
/* The read end of a pipe nobody writes to: a poll on it waits for its time-out. */
EXPORT int snd_seq_poll_descriptors_count(void* seq, short events)
{
  (void)seq, (void)events;
  return 1;
}
EXPORT int snd_seq_poll_descriptors(void* seq, struct pollfd* pfds, unsigned space, short events)
{
  (void)seq;
  if (space < 1) return 0;
  pfds[0].fd = quiet_pipe[0];
  pfds[0].events = events & POLLIN;
  pfds[0].revents = 0;
  return 1;
}
EXPORT int snd_seq_get_any_client_info(void* seq, int client, void* info)
{
  (void)seq, (void)client, (void)info;
  return -ENOENT;
}
EXPORT int snd_seq_get_any_port_info(void* seq, int client, int port, void* info)
{
  (void)seq, (void)client, (void)port, (void)info;
  return -ENOENT;
}
EXPORT int snd_seq_get_port_info(void* seq, int port, void* info)
{
  (void)seq, (void)port, (void)info;
  return -ENOENT;
}
EXPORT int snd_seq_set_port_info(void* seq, int port, void* info)
{
  (void)seq, (void)port, (void)info;
  return 0;
}
EXPORT int snd_seq_query_next_client(void* seq, void* info)
{
  (void)seq, (void)info;
  return -ENOENT;
}
EXPORT int snd_seq_query_next_port(void* seq, void* info)
{
  (void)seq, (void)info;
  return -ENOENT;
}
EXPORT int snd_seq_query_port_subscribers(void* seq, void* subs)
{
  (void)seq, (void)subs;
  return -ENOENT;
}
EXPORT int snd_seq_subscribe_port(void* seq, void* sub)
{
  (void)seq, (void)sub;
  return 0;
}
EXPORT int snd_seq_unsubscribe_port(void* seq, void* sub)
{
  (void)seq, (void)sub;
  return 0;
}
