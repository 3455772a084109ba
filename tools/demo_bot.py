#!/usr/bin/env python3
"""Plays the game in a window like a player, for recording demos.

The bot follows the game's live trace (one JSON line per frame pass, read as
the file grows) and presses and releases keys with xdotool at irregular
times, its delays drawn from a seeded generator. It steers by position:
the route is a list of points per screen, thinned from the trace of a run
that walks the whole stage (the full run's key script replayed headless).

Sessions (--session):
  walk      through all nine screens, fighting the foes that come near
  fights    a fight with every kind of foe met on the way
  dragon    through the stage, then the dragon to STAGE CLEAR
  gameover  stands among the foes until GAME_OVER, Enter, a little play
The bot presses Escape when its session is done (the demo then ends), or
when --max-frames passes have run. It exits 0 when the session reached its
goal, 1 otherwise.

With --boss-only the dragon session leaves the way to the dragon to a key
script the game was started with (--keys) and plays only the fight.

Usage: demo_bot.py --display N --trace FILE --route ROUTE_TRACE
                   --session NAME [--seed S] [--max-frames F] [--boss-only]
"""
import argparse
import math
import random
import sys
import time

from demo_bot_io import (ARROWS, FOE, PRINCESS, ROUTE, VIEW_H, VIEW_W, Keys, Trace, centre, ended,
                         foes_in_view, load_route)


class Bot:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.keys = Keys(args.display)
        self.trace = Trace(args.trace)
        self.route = load_route(args.route)
        self.screen = None
        self.next_point = 0
        self.fought = set()
        self.next_call = 0.0
        self.next_swing = 0.0
        self.restarted = False
        self.restart_frame = None
        self.clear_frame = None
        self.visited = set()
        self.boss_seen = False
        self.unstick = None
        self.stuck = {}
        self.swings = 0
        self.aimed_at, self.dodge_dir, self.volley = None, None, None
        self.moved_from, self.moved_at = (0.0, 0.0), 0

    def pause(self, lo=0.02, hi=0.11):
        # A player's hands: a reaction now and then slower than the rest.
        t = self.rng.uniform(lo, hi)
        if self.rng.random() < 0.08:
            t += self.rng.uniform(0.05, 0.25)
        time.sleep(t)

    def tap(self, key, lo=0.04, hi=0.16):
        self.keys.down(key)
        time.sleep(self.rng.uniform(lo, hi))
        self.keys.up(key)

    # -- steering ----------------------------------------------------------
    def exit_keys(self, screen):
        i = ROUTE.index(screen)
        if i + 1 >= len(ROUTE):
            return []
        nx, ny = ROUTE[i + 1]
        dx, dy = nx - screen[0], ny - screen[1]
        return (["Right"] if dx > 0 else ["Left"] if dx < 0 else []) + \
               (["Down"] if dy > 0 else ["Up"] if dy < 0 else [])

    def steer_to(self, s, tx, ty, dead=6):
        px, py = s["player"]["x"], s["player"]["y"]
        want = []
        if tx - px > dead:
            want.append("Right")
        elif px - tx > dead:
            want.append("Left")
        if ty - py > dead:
            want.append("Down")
        elif py - ty > dead:
            want.append("Up")
        return want

    def walk_keys(self, s):
        screen = tuple(s["screen"])
        points = self.route.get(screen, [])
        if s["transition"]:
            # The party rides over to the next screen on its own.
            self.screen = None
            return []
        if self.unstick:
            keys, until = self.unstick
            if time.time() < until:
                return keys
            self.unstick = None
        if screen != self.screen:
            self.screen = screen
            self.stuck = {}
            # Go on from the point nearest to where the screen was entered.
            px, py = s["player"]["x"], s["player"]["y"]
            self.next_point = min(range(len(points)), default=0,
                                  key=lambda i: math.hypot(points[i][0] - px, points[i][1] - py))
        px, py = s["player"]["x"], s["player"]["y"]
        if math.hypot(px - self.moved_from[0], py - self.moved_from[1]) > 4:
            self.moved_from, self.moved_at = (px, py), s["frame"]
        elif s["frame"] - self.moved_at > 45 and self.keys.held & set(ARROWS):
            # Stuck at a wall or a foe: step aside for a moment, then take
            # up the route a point earlier.
            held = self.keys.held & set(ARROWS)
            aside = ["Up", "Down"] if held & {"Left", "Right"} else ["Left", "Right"]
            self.stuck[self.next_point] = self.stuck.get(self.next_point, 0) + 1
            if self.stuck[self.next_point] > 2:
                # Stuck there again and again: any way out, and the point
                # after it.
                aside = [k for k in ARROWS if k not in held]
                self.next_point = min(len(points), self.next_point + 1)
            else:
                self.next_point = max(0, self.next_point - 1)
            self.unstick = ([self.rng.choice(aside)], time.time() + self.rng.uniform(0.3, 1.0))
            self.moved_at = s["frame"]
            return self.unstick[0]
        while self.next_point < len(points):
            tx, ty = points[self.next_point]
            if math.hypot(tx - px, ty - py) > 10:
                break
            self.next_point += 1
        if self.next_point < len(points):
            return self.steer_to(s, *points[self.next_point])
        return self.exit_keys(screen)

    def companions_home(self, s):
        # Following, riding or regrouping: with the princess, ready to swing.
        return all(c["state"] in (1, 7, 8) for c in s["companions"])

    def call_if_needed(self, s, now):
        # Idle or landed companions are called back to the princess.
        if now >= self.next_call and any(c["state"] in (3, 5) for c in s["companions"]):
            self.tap("v")
            self.next_call = now + self.rng.uniform(0.6, 1.4)

    def danger(self, s):
        """The nearest foe and its distance from the princess's centre."""
        cx, cy = centre(s)
        best = None
        for kind, fx, fy, e in foes_in_view(s):
            d = math.hypot(fx - cx, fy - cy)
            if best is None or d < best[0]:
                best = (d, kind, fx, fy)
        for shot in s["shots"]:
            d = math.hypot(shot["x"] - s["scroll"][0] - cx, shot["y"] - s["scroll"][1] - cy)
            if d < 90 and (best is None or d < best[0]):
                best = (d, "shot", shot["x"] - s["scroll"][0], shot["y"] - s["scroll"][1])
        return best

    # -- the swing ---------------------------------------------------------
    # The princess's facing 0 down, 1 right, 2 up, 3 left: the box of the
    # swing lies to her side (down: her left, right: below her, up: her
    # right, left: above her), and a companion struck there flies the way she
    # faces, 300 pixels at most.
    FACING_KEY = ("Down", "Right", "Up", "Left")
    FLIGHT = ((0, 1), (1, 0), (0, -1), (-1, 0))

    @staticmethod
    def in_swing(facing, px, py, gx, gy, margin=4):
        box = ((px - 36, py + 12, 36, 60), (px + 12, py + 36, 60, 36),
               (px + 36, py - 12, 36, 60), (px - 12, py - 36, 60, 36))[facing]
        return abs(gx - box[0]) < box[2] - margin and abs(gy - box[1]) < box[3] - margin

    def shot_at(self, s, foes):
        """A facing whose swing sends a companion into a foe, or None."""
        px, py = centre(s)
        for f in (s["player"]["facing"], 0, 1, 2, 3):
            if f > 3:
                continue
            for c in s["companions"]:
                if c["state"] not in (1, 2, 8):
                    continue
                gx, gy = c["x"] + 28, c["y"] + 28
                if not self.in_swing(f, px, py, gx, gy):
                    continue
                dx, dy = self.FLIGHT[f]
                for kind, fx, fy, e in foes:
                    along = (fx - gx) * dx + (fy - gy) * dy
                    side = abs((fx - gx) * dy - (fy - gy) * dx)
                    if 20 < along < 280 and side < 36:
                        return f
        return None

    def swing(self, s, facing, now):
        self.keys.hold_only([])
        if s["player"]["facing"] != facing:
            self.pause(0.01, 0.04)
            self.tap(self.FACING_KEY[facing], 0.02, 0.045)
        self.pause(0.01, 0.04)
        self.tap("c")
        self.swings += 1
        self.next_swing = now + self.rng.uniform(0.5, 1.0)

    def line_up(self, s, fx, fy):
        """Keys that bring a companion's line of flight onto the foe at
        (fx, fy), keeping away from it."""
        px, py = centre(s)
        dx, dy = fx - px, fy - py
        want = []
        if abs(dy) > abs(dx):
            # Above: a companion at her right flies up; below: at her left.
            tx = fx - 36 if dy < 0 else fx + 36
            if tx - px > 8:
                want.append("Right")
            elif px - tx > 8:
                want.append("Left")
            if abs(dy) < 110:
                want.append("Down" if dy < 0 else "Up")
        else:
            ty = fy - 36 if dx > 0 else fy + 36
            if ty - py > 8:
                want.append("Down")
            elif py - ty > 8:
                want.append("Up")
            if abs(dx) < 110:
                want.append("Left" if dx > 0 else "Right")
        return want

    # -- the sessions ------------------------------------------------------
    def item_near(self, s, reach):
        """A healing drop within reach, as the princess's top-left to go to."""
        sx, sy = s["scroll"]
        cx, cy = centre(s)
        for item in s["items"]:
            x, y = item["x"] - sx + FOE / 2, item["y"] - sy + FOE / 2
            if math.hypot(x - cx, y - cy) < reach and 0 < x < VIEW_W and 0 < y < VIEW_H:
                return x - PRINCESS / 2, y - PRINCESS / 2
        return None

    def step_walk(self, s, now, reach):
        self.call_if_needed(s, now)
        near = self.danger(s)
        hp = s["player"]["hp"]
        item = self.item_near(s, 180) if hp < 18 else None
        if item and not s["transition"]:
            self.keys.hold_only(self.steer_to(s, *item))
            return
        # Foes within the reach given are fought: a swing when a companion
        # would fly into one, else a step to line one up.
        foes = [f for f in foes_in_view(s) if f[3]["state"] in (1, 2) and
                math.hypot(f[1] - centre(s)[0], f[2] - centre(s)[1]) < reach]
        foes.sort(key=lambda f: math.hypot(f[1] - centre(s)[0], f[2] - centre(s)[1]))
        if foes and not s["transition"]:
            facing = self.shot_at(s, foes)
            if facing is not None and now >= self.next_swing:
                self.swing(s, facing, now)
                return
            if self.companions_home(s) and (hp > 6 or near[0] > 110):
                self.keys.hold_only(self.line_up(s, foes[0][1], foes[0][2]))
                return
        if near and hp <= 6 and near[0] < 110:
            # Low on life: step back from the foe for a moment.
            cx, cy = centre(s)
            away = ["Left" if near[2] > cx else "Right", "Up" if near[3] > cy else "Down"]
            self.keys.hold_only(away)
            return
        self.keys.hold_only(self.walk_keys(s))

    def step_dragon(self, s, now):
        """A companion at the princess's right, below the box under the
        dragon's body, and a swing facing up sends it into the box. The box's
        middle is 300 pixels right of the body; the princess is kept at 152
        or lower."""
        boss = s["boss"]
        p = s["player"]
        self.call_if_needed(s, now)
        cx, cy = centre(s)
        for shot in s["shots"]:
            # Fireballs and breath, round shots of their size: step aside
            # from one about to reach the princess.
            r = shot["size"] / 2
            x, y = shot["x"] - s["scroll"][0] + r, shot["y"] - s["scroll"][1] + r
            coming = shot["vx"] * (cx - x) + shot["vy"] * (cy - y) > 0
            if math.hypot(x - cx, y - cy) < r + (110 if coming else 50):
                if abs(shot["vx"]) > abs(shot["vy"]):
                    self.keys.hold_only(["Down" if y < cy else "Up"])
                else:
                    self.keys.hold_only(["Left" if x > cx else "Right", "Up"])
                return
        if p["inputLocked"]:
            self.keys.hold_only([])
            return
        # A fireball flies at where the princess stood when the head went
        # up to aim: from then until it has flown, she walks away from that
        # point along the band, out of its way.
        aim = boss["bodyX"] + 300
        px, py = centre(s)
        home = [c for c in s["companions"] if c["state"] in (1, 2, 8)]
        ready = [c for c in home if self.in_swing(2, px, py, c["x"] + 28, c["y"] + 28, 2)]
        volley = (boss["cycles"], boss["volleys"])
        can_hit = any(abs(c["x"] + 28 - aim) < 60 for c in ready) and not boss["guarded"] and not boss["hurt"]
        if boss["phase"] == 2 and boss["state"] in (1, 2, 3, 4) and not (can_hit and now >= self.next_swing):
            if self.aimed_at is None or self.volley != volley:
                self.aimed_at, self.volley = cx, volley
                self.dodge_dir = "Left" if cx > 400 else "Right"
            if abs(cx - self.aimed_at) < 170 and (boss["state"] < 4 or s["shots"]):
                self.keys.hold_only([self.dodge_dir])
                return
        elif boss["phase"] != 2:
            self.aimed_at = None
        if any(abs(c["x"] + 28 - aim) < 60 for c in ready):
            if not boss["guarded"] and not boss["hurt"] and now >= self.next_swing:
                self.swing(s, 2, now)
                return
            self.keys.hold_only([])
            return
        tx = aim - 36 - 48
        if home:
            # The companion nearest below the box: the princess steps to its
            # left (the box of a swing facing up lies at her right).
            c = min(home, key=lambda c: abs(c["x"] + 28 - aim))
            if abs(c["x"] + 28 - aim) < 60:
                self.keys.hold_only(self.steer_to(s, c["x"] - 56, max(152, c["y"] - 10), 4))
                return
            # None there: walk past the box, away from them, so that they
            # follow through it.
            side = sum(c["x"] + 28 for c in home) / len(home) < aim
            tx = aim + (110 if side else -110) - 48
        self.keys.hold_only(self.steer_to(s, tx, 152, 8))

    def step_gameover(self, s, now):
        p = s["player"]
        if self.restarted:
            # A little play after the start again: walk and call.
            self.call_if_needed(s, now)
            self.keys.hold_only(self.walk_keys(s))
            return s["frame"] - self.restart_frame > 420
        if p["hp"] < 1:
            self.keys.hold_only([])
            if ended(s):
                self.pause(0.3, 0.9)
                self.tap("Return")
                self.restarted = True
                self.restart_frame = s["frame"]
                self.screen = None
            return False
        # Walk into the nearest foe and stay with it.
        near = self.danger(s)
        if near and near[1] != "shot":
            self.keys.hold_only(self.steer_to(s, near[2] - PRINCESS / 2, near[3] - PRINCESS / 2, 10))
        else:
            self.call_if_needed(s, now)
            self.keys.hold_only(self.walk_keys(s))
        return False

    def run(self):
        a = self.args
        start = time.time()
        s = None
        while s is None:
            s = self.trace.poll()
            if time.time() - start > 20:
                print("no trace from the game", file=sys.stderr)
                return 1
            time.sleep(0.05)
        self.pause(0.3, 0.8)
        done = False
        kinds = {"Archer", "ShieldGuard", "SoldierA", "SoldierB"}
        last_frame, last_change = -1, time.time()
        while True:
            s = self.trace.poll()
            now = time.time()
            if s["frame"] != last_frame:
                last_frame, last_change = s["frame"], now
            elif now - last_change > 10:
                print("the game stopped", file=sys.stderr)
                break
            self.visited.add(tuple(s["screen"]))
            # A foe stunned or dying has been fought.
            self.fought.update(e["kind"] for e in s["enemies"] if e["state"] in (3, 99))
            if s["frame"] >= a.max_frames:
                break
            if a.session == "gameover":
                if self.step_gameover(s, now):
                    done = True
                    break
            else:
                if ended(s):
                    break
                screen = tuple(s["screen"])
                if s["boss"]["hp"] > 0:
                    self.boss_seen = True
                if a.session == "walk" and len(self.visited) == len(ROUTE) and s["transition"] == 0:
                    done = True
                    break
                if a.session == "fights" and kinds <= self.fought:
                    # Every kind met in a swing; play on a moment.
                    if self.clear_frame is None:
                        self.clear_frame = s["frame"]
                    if s["frame"] - self.clear_frame > 120:
                        done = True
                        break
                if a.session == "dragon" and self.boss_seen and s["boss"]["hp"] <= 0:
                    # STAGE CLEAR shows about two seconds on; stay a moment.
                    if self.clear_frame is None:
                        self.clear_frame = s["frame"]
                    self.keys.hold_only([])
                    if s["frame"] - self.clear_frame > 240:
                        done = True
                        break
                elif a.session == "dragon" and screen == ROUTE[-1] and (s["bossActive"] or self.boss_seen):
                    self.step_dragon(s, now)
                elif a.session == "dragon" and a.boss_only:
                    # The way there is the key script's: hands off until
                    # the dragon wakes.
                    pass
                else:
                    self.step_walk(s, now, {"fights": 260}.get(a.session, 150))
            self.pause()
        self.keys.release_all()
        self.pause(0.2, 0.5)
        self.keys.send("key", "Escape")
        print("session %s: %s at frame %d, screens %d, %d swings, fought %s, hp %d" %
              (a.session, "done" if done else "not done", s["frame"], len(self.visited), self.swings,
               ",".join(sorted(self.fought)) or "-", s["player"]["hp"]), file=sys.stderr)
        return 0 if done else 1


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--display", required=True)
    p.add_argument("--trace", required=True)
    p.add_argument("--route", required=True)
    p.add_argument("--session", required=True, choices=["walk", "fights", "dragon", "gameover"])
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--max-frames", type=int, default=9000)
    p.add_argument("--boss-only", action="store_true",
                   help="dragon: the game walks the stage from a --keys script; play only the fight")
    return Bot(p.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
