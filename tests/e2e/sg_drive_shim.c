/* An emulated CD drive for the end-to-end test of the real-drive path.
 *
 * Preloaded into 32-bit Wine, it answers the SG_IO requests that Wine makes
 * for IOCTL_SCSI_PASS_THROUGH_DIRECT on a drive letter whose device is the
 * disc image's BIN file: INQUIRY, TEST UNIT READY, READ TOC (format 0) and
 * READ CD, from the CUE sheet named in CORVALE_SG_CUE (one BINARY file,
 * tracks with INDEX 01).  The full TOC is refused, as some drives do.  The
 * first READ TOC meets a unit attention and two "becoming ready" answers, as
 * when a disc has just been inserted.  Every other ioctl goes to the C
 * library. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <limits.h>
#include <scsi/sg.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#define SECTOR_BYTES 2352
#define MAX_TRACKS 99

static struct {
  int loaded;
  char bin[PATH_MAX];
  int tracks;
  unsigned start[MAX_TRACKS + 1];
  int data[MAX_TRACKS + 1];
  unsigned lead_out;
  int not_ready_answers;  /* answers still owed to the first READ TOC */
} disc = {0, "", 0, {0}, {0}, 0, 3};

static void load_disc(void) {
  const char* cue_path = getenv("CORVALE_SG_CUE");
  disc.loaded = -1;
  if (!cue_path) return;
  FILE* cue = fopen(cue_path, "r");
  if (!cue) return;
  char line[512], name[PATH_MAX];
  int mode_data = 0;
  unsigned mm, ss, ff;
  while (fgets(line, sizeof line, cue)) {
    char* word = line + strspn(line, " \t");
    if (sscanf(word, "FILE \"%[^\"]\"", name) == 1) {
      char folder[PATH_MAX / 2];
      snprintf(folder, sizeof folder, "%s", cue_path);
      char* cut = strrchr(folder, '/');
      if (cut) *cut = '\0';
      if (strlen(folder) + strlen(name) + 2 > sizeof disc.bin) break;
      snprintf(disc.bin, sizeof disc.bin, "%s/%.*s", cut ? folder : ".", (int)(sizeof disc.bin / 2), name);
    } else if (strncmp(word, "TRACK ", 6) == 0) {
      mode_data = strstr(word, "AUDIO") == NULL;
    } else if (sscanf(word, "INDEX 01 %u:%u:%u", &mm, &ss, &ff) == 3 && disc.tracks < MAX_TRACKS) {
      disc.start[disc.tracks] = (mm * 60 + ss) * 75 + ff;
      disc.data[disc.tracks++] = mode_data;
    }
  }
  fclose(cue);
  struct stat st;
  char resolved[PATH_MAX];
  if (!disc.tracks || !realpath(disc.bin, resolved) || stat(resolved, &st) != 0) return;
  snprintf(disc.bin, sizeof disc.bin, "%s", resolved);
  disc.lead_out = (unsigned)(st.st_size / SECTOR_BYTES);
  disc.loaded = 1;
}

static int is_disc(int fd) {
  char link[64], target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  if (n <= 0) return 0;
  target[n] = '\0';
  return strcmp(target, disc.bin) == 0;
}

static void put_be32(unsigned char* p, unsigned v) {
  p[0] = v >> 24; p[1] = v >> 16; p[2] = v >> 8; p[3] = v;
}

static void sense(sg_io_hdr_t* io, int key, int asc, int ascq) {
  unsigned char s[18] = {0x70, 0, (unsigned char)key, 0, 0, 0, 0, 10, 0, 0, 0, 0,
                         (unsigned char)asc, (unsigned char)ascq, 0, 0, 0, 0};
  unsigned n = io->mx_sb_len < sizeof s ? io->mx_sb_len : sizeof s;
  if (io->sbp && n) memcpy(io->sbp, s, n);
  io->sb_len_wr = n;
  io->status = 0x02;
  io->masked_status = 0x01;
  io->resid = io->dxfer_len;
}

static void answer(sg_io_hdr_t* io, const void* data, unsigned size) {
  unsigned n = size < io->dxfer_len ? size : io->dxfer_len;
  if (n) memcpy(io->dxferp, data, n);
  io->resid = io->dxfer_len - n;
}

static void run(int fd, sg_io_hdr_t* io) {
  const unsigned char* cdb = io->cmdp;
  io->status = io->masked_status = 0;
  io->host_status = io->driver_status = 0;
  io->sb_len_wr = 0;
  io->resid = 0;
  io->info = 0;
  switch (cdb[0]) {
    case 0x00:  /* TEST UNIT READY */
      break;
    case 0x12: {  /* INQUIRY */
      unsigned char inquiry[36] = {0x05, 0x80, 0, 0x02, 31};
      memcpy(inquiry + 8, "CORVALE EMULATED CD-ROM 1.00", 28);
      answer(io, inquiry, sizeof inquiry);
      break;
    }
    case 0x43: {  /* READ TOC */
      if (disc.not_ready_answers > 0) {
        const int first = disc.not_ready_answers-- == 3;
        sense(io, first ? 0x06 : 0x02, first ? 0x28 : 0x04, first ? 0x00 : 0x01);
        break;
      }
      if ((cdb[2] & 0x0F) != 0 || (cdb[1] & 0x02)) {
        sense(io, 0x05, 0x24, 0x00);
        break;
      }
      unsigned char toc[4 + 8 * (MAX_TRACKS + 1)];
      unsigned size = 4 + 8 * (disc.tracks + 1);
      memset(toc, 0, sizeof toc);
      toc[0] = (size - 2) >> 8;
      toc[1] = size - 2;
      toc[2] = 1;
      toc[3] = disc.tracks;
      for (int t = 0; t <= disc.tracks; ++t) {
        unsigned char* d = toc + 4 + 8 * t;
        const int lead = t == disc.tracks;
        d[1] = 0x10 | (disc.data[lead ? t - 1 : t] ? 0x04 : 0);
        d[2] = lead ? 0xAA : t + 1;
        put_be32(d + 4, lead ? disc.lead_out : disc.start[t]);
      }
      answer(io, toc, size);
      break;
    }
    case 0xBE: {  /* READ CD */
      unsigned lba = (unsigned)cdb[2] << 24 | cdb[3] << 16 | cdb[4] << 8 | cdb[5];
      unsigned count = (unsigned)cdb[6] << 16 | cdb[7] << 8 | cdb[8];
      int touches_data = 0;
      for (int t = 0; t < disc.tracks; ++t) {
        unsigned end = t + 1 < disc.tracks ? disc.start[t + 1] : disc.lead_out;
        if (disc.data[t] && lba < end && lba + count > disc.start[t]) touches_data = 1;
      }
      if (lba + count > disc.lead_out || touches_data) {
        sense(io, 0x05, touches_data ? 0x64 : 0x21, 0x00);
      } else if ((unsigned long long)count * SECTOR_BYTES > io->dxfer_len) {
        sense(io, 0x05, 0x24, 0x00);
      } else {
        ssize_t got = pread(fd, io->dxferp, (size_t)count * SECTOR_BYTES, (off_t)lba * SECTOR_BYTES);
        io->resid = io->dxfer_len - (got > 0 ? (unsigned)got : 0);
      }
      break;
    }
    default:
      sense(io, 0x05, 0x20, 0x00);
  }
}

/* Answers SG_IO on the image; anything else goes to the C library's `name`. */
static int dispatch(const char* name, int fd, unsigned long request, void* arg) {
  if (request == SG_IO) {
    if (!disc.loaded) load_disc();
    if (disc.loaded > 0 && is_disc(fd)) {
      run(fd, (sg_io_hdr_t*)arg);
      return 0;
    }
  }
  int (*real_ioctl)(int, unsigned long, ...) = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, name);
  return real_ioctl(fd, request, arg);
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  return dispatch("ioctl", fd, request, arg);
}

/* What 32-bit programs built with a 64-bit time_t call instead, Wine among them. */
int __ioctl_time64(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  return dispatch("__ioctl_time64", fd, request, arg);
}
