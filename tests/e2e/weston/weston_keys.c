// A keyboard for a headless Weston, typed on by the Wayland window test as xdotool types on
// Xvfb: loaded with --modules, it adds a seat with a keyboard and presses the keys that lines of
// the FIFO named by BF_WESTON_KEYS ask for, "CODE 1" to press and "CODE 0" to release (Linux
// input key codes). The headless back-end has no seat of its own.
#include <errno.h>
#include <fcntl.h>
#include <libweston/libweston.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-server.h>

// libweston's back-end calls: exported by the library, but not in its installed headers.
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* compositor,
                      const char* name);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);

struct keys {
  struct weston_seat seat;
  int fifo;
  char line[64];
  size_t used;
};

static void press(struct keys* keys, const char* line) {
  unsigned code = 0, down = 0;
  if (sscanf(line, "%u %u", &code, &down) != 2) {
    weston_log("weston-keys: ignoring '%s'\n", line);
    return;
  }
  struct timespec now;
  weston_compositor_get_time(&now);
  notify_key(&keys->seat, &now, code,
             down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED,
             STATE_UPDATE_AUTOMATIC);
}

static int read_keys(int fd, uint32_t mask, void* data) {
  (void)mask;
  struct keys* keys = data;
  char chunk[256];
  ssize_t got;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) {
    for (ssize_t i = 0; i < got; ++i) {
      if (chunk[i] == '\n') {
        keys->line[keys->used] = '\0';
        press(keys, keys->line);
        keys->used = 0;
      } else if (keys->used + 1 < sizeof keys->line) {
        keys->line[keys->used++] = chunk[i];
      }
    }
  }
  return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]) {
  (void)argc;
  (void)argv;
  const char* path = getenv("BF_WESTON_KEYS");
  if (path == NULL) {
    weston_log("weston-keys: BF_WESTON_KEYS names no FIFO\n");
    return -1;
  }
  struct keys* keys = calloc(1, sizeof *keys);
  if (keys == NULL) return -1;
  // Read and write, so the FIFO never reads as ended between two writers.
  keys->fifo = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (keys->fifo < 0) {
    weston_log("weston-keys: cannot open %s: %s\n", path, strerror(errno));
    free(keys);
    return -1;
  }
  weston_seat_init(&keys->seat, compositor, "keys");
  if (weston_seat_init_keyboard(&keys->seat, NULL) < 0) return -1;
  wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), keys->fifo,
                       WL_EVENT_READABLE, read_keys, keys);
  return 0;
}
