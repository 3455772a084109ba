"""What the demo bot reads and sends: the game's growing trace, the keys
it presses with xdotool, the route it steers by, and the few facts it
takes from a state (the foes in view, the princess's centre, the end)."""
import json
import math
import os
import subprocess


ROUTE = [(0, 0), (1, 0), (2, 0), (2, 1), (1, 1), (0, 1), (0, 2), (1, 2), (2, 2)]
ARROWS = ("Left", "Right", "Up", "Down")
# The princess's cell is 96 x 96, a companion's 56 x 56, a foe's 48 x 48;
# the view of one screen is 768 x 576.
PRINCESS = 96
FOE = 48
VIEW_W, VIEW_H = 768, 576


def load_route(path):
    """Points per screen from a trace: the player's position every time it
    has moved 24 pixels from the point before, and the last one on the
    screen, where the walk leaves it."""
    points, last = {}, {}
    with open(path) as f:
        for line in f:
            s = json.loads(line)
            screen = tuple(s["screen"])
            if s["transition"] or screen not in ROUTE:
                continue
            p = (s["player"]["x"], s["player"]["y"])
            way = points.setdefault(screen, [])
            if not way or math.hypot(p[0] - way[-1][0], p[1] - way[-1][1]) >= 24:
                way.append(p)
            last[screen] = p
    for screen, way in points.items():
        if way[-1] != last[screen]:
            way.append(last[screen])
    return points


class Keys:
    """The keys held, sent to the window with xdotool."""

    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=":" + str(display))
        self.held = set()

    def send(self, action, key):
        subprocess.run(["xdotool", action, key], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def down(self, key):
        if key not in self.held:
            self.send("keydown", key)
            self.held.add(key)

    def up(self, key):
        if key in self.held:
            self.send("keyup", key)
            self.held.discard(key)

    def hold_only(self, keys, among=ARROWS):
        for k in among:
            if k not in keys:
                self.up(k)
        for k in keys:
            self.down(k)

    def release_all(self):
        for k in list(self.held):
            self.up(k)


class Trace:
    """The newest state of the growing trace file."""

    def __init__(self, path):
        self.path = path
        self.file = None
        self.rest = ""
        self.state = None

    def poll(self):
        if self.file is None:
            try:
                self.file = open(self.path)
            except OSError:
                return self.state
        chunk = self.file.read()
        if chunk:
            text = self.rest + chunk
            lines = text.split("\n")
            self.rest = lines.pop()
            for line in reversed(lines):
                if line.strip():
                    try:
                        self.state = json.loads(line)
                        break
                    except ValueError:
                        continue
        return self.state


def foes_in_view(s):
    sx, sy = s["scroll"]
    out = []
    for e in s["enemies"]:
        if e["state"] in (0, 99):
            continue
        x, y = e["x"] - sx + FOE / 2, e["y"] - sy + FOE / 2
        if -FOE < x < VIEW_W + FOE and -FOE < y < VIEW_H + FOE:
            out.append((e["kind"], x, y, e))
    return out


def centre(s):
    return s["player"]["x"] + PRINCESS / 2, s["player"]["y"] + PRINCESS / 2


def ended(s):
    p = s["player"]
    return p["hp"] < 1 and p["deathTimer"] >= 11
