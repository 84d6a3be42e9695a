#!/usr/bin/env python3
"""Random input for the soak run: a reproducible stream of key presses and releases (arrows,
shifts), pointer moves and clicks on the farm's characters, chat-box lines, speed buttons and
open ground, sent through the XTEST extension (as real devices would) at a bounded rate. It
samples the game's VmRSS every SAMPLE seconds into RSS_FILE and stops early if the game ends.

Usage: soak_input.py PID WINDOW_X WINDOW_Y SECONDS SEED RATE SAMPLE RSS_FILE
Prints "actions N" and "x_events N". Exit status 0 when the stream ran to its end, 3 when the
game ended first, 2 when the display could not be used. All keys are let go at the end.
"""
import ctypes
import random
import sys
import time

KEYSYMS = {"Up": 0xFF52, "Down": 0xFF54, "Left": 0xFF51, "Right": 0xFF53,
           "Shift_L": 0xFFE1, "Shift_R": 0xFFE2}
# Hit boxes of the farm's folk (spawned at 300, 200, at 520, 260 and at 200, 250; box
# x+32..x+64, y+18..y+86).
CHARACTERS = [(332, 218, 364, 286), (552, 278, 584, 346), (232, 268, 264, 336)]
# Corners of the twelve 17 x 17 speed buttons; each covers 18 x 18 pixels.
BUTTONS = [(x, y) for y in (0, 34) for x in (0, 17, 34, 68, 85, 102)]
MIN_PAUSE = 0.02  # at most 50 actions a second


class Xtest:
    """The display connection and the three XTEST calls the stream needs."""

    def __init__(self, origin_x, origin_y):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.display = ctypes.c_void_p(self.x11.XOpenDisplay(None))
        if not self.display:
            raise OSError("cannot open the display")
        self.origin = (origin_x, origin_y)
        self.events = 0

    def move(self, x, y):
        self._sent(self.xtst.XTestFakeMotionEvent(self.display, -1, self.origin[0] + x,
                                                  self.origin[1] + y, ctypes.c_ulong(0)))

    def button(self, number, down):
        self._sent(self.xtst.XTestFakeButtonEvent(self.display, number, int(down), ctypes.c_ulong(0)))

    def key(self, name, down):
        code = self.x11.XKeysymToKeycode(self.display, ctypes.c_ulong(KEYSYMS[name]))
        self._sent(self.xtst.XTestFakeKeyEvent(self.display, code, int(down), ctypes.c_ulong(0)))

    def _sent(self, _):
        self.x11.XFlush(self.display)
        self.events += 1


class Stream:
    """The random actions, drawn from one seeded generator."""

    def __init__(self, x, seed, rate):
        self.x = x
        self.rng = random.Random(seed)
        self.mean_pause = 1.0 / rate
        self.held = set()
        self.actions = 0

    def on_character(self):
        left, top, right, bottom = self.rng.choice(CHARACTERS)
        return self.rng.randint(left, right), self.rng.randint(top, bottom)

    def on_chat_line(self):
        # Mostly the rows where the scripts put their responses; sometimes any row or the margin.
        row = self.rng.randint(3, 7) if self.rng.random() < 0.7 else self.rng.randint(0, 11)
        x = self.rng.randint(225, 676) if self.rng.random() < 0.95 else self.rng.randint(0, 224)
        return x, 380 + 13 + 16 * row + self.rng.randint(0, 15)

    def on_button(self):
        left, top = self.rng.choice(BUTTONS)
        return left + self.rng.randint(0, 17), top + self.rng.randint(0, 17)

    def on_ground(self):
        # Anywhere above the chat box that is neither a button nor a character.
        while True:
            x, y = self.rng.randint(0, 799), self.rng.randint(0, 379)
            if not (x <= 119 and y <= 51) and not any(
                    l <= x <= r and t <= y <= b for l, t, r, b in CHARACTERS):
                return x, y

    def anywhere(self):
        return self.rng.randint(0, 799), self.rng.randint(0, 599)

    def click(self, point):
        # Mostly the left button; the game treats the others alike.
        number = self.rng.choices([1, 2, 3], weights=[8, 1, 1])[0]
        self.x.move(*point)
        time.sleep(0.005)
        self.x.button(number, True)
        time.sleep(self.rng.uniform(0.01, 0.05))
        self.x.button(number, False)

    def act(self):
        roll = self.rng.random()
        if roll < 0.30:
            key = self.rng.choice(sorted(KEYSYMS))
            down = key not in self.held
            self.x.key(key, down)
            (self.held.add if down else self.held.discard)(key)
        elif roll < 0.50:
            self.x.move(*self.anywhere())
        elif roll < 0.94:
            kinds = [(0.12, self.on_character), (0.20, self.on_chat_line),
                     (0.06, self.on_button), (0.06, self.on_ground)]
            self.click(self.rng.choices([k for _, k in kinds], [w for w, _ in kinds])[0]())
        else:
            # Press on one place, release on another.
            points = [self.on_character, self.on_chat_line, self.on_button, self.on_ground,
                      self.anywhere]
            self.x.move(*self.rng.choice(points)())
            self.x.button(1, True)
            time.sleep(0.02)
            self.x.move(*self.rng.choice(points)())
            time.sleep(0.02)
            self.x.button(1, False)
        self.actions += 1
        # Pauses between MIN_PAUSE and 2 * mean - MIN_PAUSE: the mean is 1 / rate.
        time.sleep(self.rng.uniform(MIN_PAUSE, max(MIN_PAUSE, 2 * self.mean_pause - MIN_PAUSE)))


def rss_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            return next(int(l.split()[1]) for l in status if l.startswith("VmRSS:"))
    except (OSError, StopIteration):
        return None


def main():
    pid, origin_x, origin_y, seconds, seed = (int(a) for a in sys.argv[1:6])
    rate, sample, rss_file = float(sys.argv[6]), float(sys.argv[7]), sys.argv[8]
    try:
        x = Xtest(origin_x, origin_y)
    except OSError as error:
        print(f"soak_input: {error}", file=sys.stderr)
        return 2
    stream = Stream(x, seed, min(max(rate, 1.0), 1.0 / MIN_PAUSE))
    start, next_sample, status = time.monotonic(), 0.0, 0
    with open(rss_file, "w") as samples:
        while (elapsed := time.monotonic() - start) < seconds:
            if elapsed >= next_sample:
                kb = rss_kb(pid)
                if kb is None:
                    status = 3
                    break
                samples.write(f"{elapsed:.1f} {kb}\n")
                samples.flush()
                next_sample += sample
            stream.act()
    for key in sorted(stream.held):
        x.key(key, False)
    print("actions", stream.actions)
    print("x_events", x.events)
    return status


if __name__ == "__main__":
    sys.exit(main())
