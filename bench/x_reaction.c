/* Times how a window reacts to a click on a real X server: from the button
 * release sent through XTest to the last damage reported on the window (XDamage),
 * and counts the X requests its client sends meanwhile (XRecord). Started by
 * bench/x-reaction, which starts the programs; prints one line of figures.
 *
 *   x-reaction WINDOW MODE MOVES SCALE
 *
 * MODE: loss  the game on a side-10 board crowded with mines: a new game (F2), a
 *             first click, then clicks on cells until one loses; the losing click
 *             is timed (the face button changed: the game is lost)
 *       open  the game on a side-10 board with few mines: a new game, then the
 *             first click in the middle, which opens a big area, is timed
 *       floor a window that repaints its whole area once on a release
 * A move ends once no damage has come for 50 ms; the clock's ticks are not
 * counted as damage. Times are in milliseconds. */

#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kQuietMs = 50, kSide = 10, kClientHeight = 371 };

static Display* dpy;     /* input, damage */
static Display* dataDpy; /* XRecord's data */
static Window win;
static int damageEvent;
static int shmMajor = -1;
static double scale;
static int menuBar; /* device pixels above the client area */
static long requests, shmPuts, requestBytes;
static int recording;

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void onRecord(XPointer closure, XRecordInterceptData* data) {
    (void)closure;
    if (recording && data->category == XRecordFromClient && data->data_len > 0) {
        const unsigned char* req = data->data;
        ++requests;
        requestBytes += data->data_len * 4L;
        if (req[0] == shmMajor && req[1] == 3 /* ShmPutImage */) {
            ++shmPuts;
        }
    }
    XRecordFreeData(data);
}

/* A client-area rectangle in device pixels of the window. */
static int inClient(const XRectangle* r, int x, int y, int w, int h) {
    const int left = (int)(x * scale), top = (int)(y * scale) + menuBar;
    const int right = (int)((x + w) * scale), bottom = (int)((y + h) * scale) + menuBar;
    return r->x >= left && r->y >= top && r->x + r->width <= right && r->y + r->height <= bottom;
}

/* Waits until no damage has come for kQuietMs; returns the time of the last
 * damage (or 0 when none came), and the number of damage rectangles. */
static double settle(int* rects) {
    double last = 0, waitFrom = nowMs();
    int count = 0;
    struct pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0},
                            {ConnectionNumber(dataDpy), POLLIN, 0}};
    for (;;) {
        XRecordProcessReplies(dataDpy);
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == damageEvent + XDamageNotify) {
                const XDamageNotifyEvent* d = (const XDamageNotifyEvent*)&ev;
                /* The clock's digits tick once a second: not part of a move. */
                if (scale > 0 && inClient(&d->area, 300, 12, 48, 30)) {
                    continue;
                }
                last = waitFrom = nowMs();
                ++count;
            }
        }
        const double left = waitFrom + kQuietMs - nowMs();
        if (left <= 0) {
            break;
        }
        poll(fds, 2, (int)left + 1);
    }
    XRecordProcessReplies(dataDpy);
    if (rects) {
        *rects = count;
    }
    return last;
}

static void moveTo(int x, int y) {
    int rx, ry;
    Window child;
    XTranslateCoordinates(dpy, win, DefaultRootWindow(dpy), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(dpy, -1, rx, ry, CurrentTime);
    XSync(dpy, False);
}

struct Move {
    double ms;
    long requests, shmPuts, bytes;
    int rects;
};

/* Presses at (x, y) in device pixels of the window, lets the press settle, then
 * times the release. */
static struct Move click(int x, int y) {
    struct Move m;
    moveTo(x, y);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XSync(dpy, False);
    settle(NULL);
    requests = shmPuts = requestBytes = 0;
    recording = 1;
    const double t0 = nowMs();
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XFlush(dpy);
    const double last = settle(&m.rects);
    recording = 0;
    m.ms = last > 0 ? last - t0 : 0;
    m.requests = requests;
    m.shmPuts = shmPuts;
    m.bytes = requestBytes;
    return m;
}

static void newGame(void) {
    const KeyCode f2 = XKeysymToKeycode(dpy, XK_F2);
    XTestFakeKeyEvent(dpy, f2, True, CurrentTime);
    XTestFakeKeyEvent(dpy, f2, False, CurrentTime);
    XSync(dpy, False);
    settle(NULL);
}

/* The face button's pixels (the game's window only). */
static XImage* face(void) {
    return XGetImage(dpy, win, (int)(161 * scale), (int)(15 * scale) + menuBar,
                     (unsigned)(32 * scale), (unsigned)(26 * scale), AllPlanes, ZPixmap);
}

static int sameImage(XImage* a, XImage* b) {
    return memcmp(a->data, b->data, (size_t)a->bytes_per_line * a->height) == 0;
}

/* The device pixel at the anchor of cell (c, r) of the side-10 board. */
static void cellPoint(int c, int r, int* x, int* y) {
    *x = (int)((9 + 17 * c + 12) * scale + scale / 2);
    *y = (int)((52 + 8 * r + 3) * scale + scale / 2) + menuBar;
}

static int isCell(int c, int r) {
    const int d = abs(c - (kSide - 1));
    return c >= 0 && c <= 2 * kSide - 2 && d <= r && r <= 4 * (kSide - 1) - d && (r - d) % 2 == 0;
}

static int byMs(const void* a, const void* b) {
    const double x = ((const struct Move*)a)->ms, y = ((const struct Move*)b)->ms;
    return (x > y) - (x < y);
}

static int byLong(const void* a, const void* b) {
    const long x = *(const long*)a, y = *(const long*)b;
    return (x > y) - (x < y);
}

static void report(const char* mode, struct Move* moves, int n) {
    long reqs[n], puts[n];
    qsort(moves, (size_t)n, sizeof *moves, byMs);
    for (int i = 0; i < n; ++i) {
        reqs[i] = moves[i].requests;
        puts[i] = moves[i].shmPuts;
    }
    qsort(reqs, (size_t)n, sizeof *reqs, byLong);
    qsort(puts, (size_t)n, sizeof *puts, byLong);
    const int p95 = (int)(0.95 * (n - 1) + 0.5);
    printf(
        "%-5s scale %g  moves %d  last damage ms: median %.2f  p95 %.2f  max %.2f"
        "  |  X requests: median %ld  max %ld  (shm put-image median %ld max %ld)\n",
        mode, scale, n, moves[n / 2].ms, moves[p95].ms, moves[n - 1].ms, reqs[n / 2], reqs[n - 1],
        puts[n / 2], puts[n - 1]);
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: x-reaction WINDOW loss|open|floor MOVES SCALE\n");
        return 2;
    }
    win = (Window)strtoul(argv[1], NULL, 0);
    const char* mode = argv[2];
    const int n = atoi(argv[3]);
    scale = atof(argv[4]);
    dpy = XOpenDisplay(NULL);
    Display* ctl = XOpenDisplay(NULL);
    dataDpy = XOpenDisplay(NULL);
    int base, err, major, minor;
    if (!dpy || !ctl || !dataDpy || !XDamageQueryExtension(dpy, &damageEvent, &err) ||
        !XTestQueryExtension(dpy, &base, &err, &major, &minor) ||
        !XRecordQueryVersion(ctl, &major, &minor)) {
        fprintf(stderr, "x-reaction: the X server lacks XDamage, XTest or RECORD\n");
        return 1;
    }
    int first;
    XQueryExtension(dpy, "MIT-SHM", &shmMajor, &first, &err);
    XWindowAttributes attrs;
    XGetWindowAttributes(dpy, win, &attrs);
    const int floorMode = strcmp(mode, "floor") == 0;
    menuBar = floorMode ? 0 : attrs.height - (int)(kClientHeight * scale);

    XRecordRange* range = XRecordAllocRange();
    range->core_requests.first = 1;
    range->core_requests.last = 127;
    range->ext_requests.ext_major.first = 128;
    range->ext_requests.ext_major.last = 255;
    range->ext_requests.ext_minor.first = 0;
    range->ext_requests.ext_minor.last = 255;
    XRecordClientSpec client = win;
    XRecordContext context = XRecordCreateContext(ctl, 0, &client, 1, &range, 1);
    XSync(ctl, False);
    if (!XRecordEnableContextAsync(dataDpy, context, onRecord, NULL)) {
        fprintf(stderr, "x-reaction: cannot record the window's client\n");
        return 1;
    }
    XDamageCreate(dpy, win, XDamageReportRawRectangles);
    XSync(dpy, False);
    settle(NULL);

    struct Move* moves = calloc((size_t)n, sizeof *moves);
    int done = 0;
    unsigned seed = 35;
    int cx, cy;
    cellPoint(kSide - 1, 2 * (kSide - 1), &cx, &cy);
    while (done < n) {
        if (floorMode) {
            moves[done++] = click(attrs.width / 2, attrs.height / 2);
            continue;
        }
        newGame();
        if (strcmp(mode, "open") == 0) {
            moves[done++] = click(cx, cy);
            continue;
        }
        XImage* smiling = face();
        click(cx, cy);
        for (int tries = 0; tries < 400; ++tries) {
            int c, r, x, y;
            do {
                seed = seed * 1103515245u + 12345u;
                c = (int)((seed >> 8) % 19);
                r = (int)((seed >> 16) % 37);
            } while (!isCell(c, r));
            cellPoint(c, r, &x, &y);
            const struct Move m = click(x, y);
            XImage* now = face();
            const int lost = !sameImage(smiling, now);
            XDestroyImage(now);
            if (lost) {
                moves[done++] = m;
                break;
            }
        }
        XDestroyImage(smiling);
    }
    report(mode, moves, n);
    XRecordDisableContext(ctl, context);
    XRecordFreeContext(ctl, context);
    XSync(ctl, False);
    return 0;
}
