// Opens a page in headless Chromium (Debian's /usr/bin/chromium) through
// playwright-core, prints what the page writes to its console (standard
// output for console.log, standard error for the rest) and ends when the
// program in it exits, or after a time.
// Usage: node run_page.mjs URL [--screenshot FILE [--after MS | --when TEXT]] [--keys K1,K2 --hold MS]
//                            [--click X,Y] [--sound] [--viewport WxH] [--offline] [--timeout S]
// With --screenshot the page is shot MS milliseconds after the program
// starts, or as soon as a line of its console holds TEXT (the program keeps
// running until then); with --keys those keys are pressed, each held for
// --hold ms, before the shot; with --click the mouse clicks at that point of
// the page (in CSS pixels) after the keys. With --sound the program's audio output is
// watched from its start and "sound: STATE PEAK" printed after the shot (the
// audio context's state, the largest sample it played), then "music: TICK
// PEAK" (where the page's MIDI player is and the largest sample of its
// output over half a second; -1 without a synthesiser). With --offline the
// page, once its service worker holds the files, is opened again with the
// network cut before the shot. The exit status is the program's, or 124 at
// the time limit.
import { chromium } from "playwright-core";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const argv = process.argv.slice(2);
const url = argv[0];
const option = (name, fallback) => {
  const i = argv.indexOf(name);
  return i >= 0 ? argv[i + 1] : fallback;
};
const shot = option("--screenshot", "");
const after = Number(option("--after", "2000"));
const keys = option("--keys", "");
const hold = Number(option("--hold", "500"));
const when = option("--when", "");
const click = option("--click", "");
const sound = argv.includes("--sound");
const offline = argv.includes("--offline");
const [width, height] = option("--viewport", "1024x768").split("x").map(Number);
let seen = null;
const sighted = new Promise(resolve => { seen = () => resolve(true); });
const timeout = Number(option("--timeout", "120")) * 1000;

const profile = mkdtempSync(join(tmpdir(), "zolbeck-chromium-"));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  viewport: { width, height },
  args: ["--no-sandbox", "--disable-gpu", "--enable-unsafe-swiftshader", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--autoplay-policy=no-user-gesture-required"],
});
let status = 124;
try {
  const page = context.pages()[0] || await context.newPage();
  page.on("console", message => {
    const out = message.type() === "log" ? process.stdout : process.stderr;
    out.write(message.text() + "\n");
    if (when && message.text().includes(when)) seen();
  });
  page.on("pageerror", error => process.stderr.write("page error: " + error.message + "\n"));
  const started = Date.now();
  await page.goto(url);
  if (shot) {
    await page.waitForFunction(() => typeof Module !== "undefined" && Module.calledRun, null, { timeout });
    if (offline) {
      await page.evaluate(() => navigator.serviceWorker.ready.then(r => caches.open("zolbeck-1")).then(cache =>
        new Promise(resolve => { const look = () => cache.keys().then(k => k.length >= 5 ? resolve() : setTimeout(look, 100)); look(); })));
      await context.setOffline(true);
      await page.reload();
      await page.waitForFunction(() => typeof Module !== "undefined" && Module.calledRun, null, { timeout });
      process.stderr.write("run_page: the page opened again offline\n");
    }
    if (sound) {
      // SDL's audio in the page writes each block in the script node's
      // handler: wrapped, it also keeps the loudest sample.
      await page.waitForFunction(() => Module.SDL2 && Module.SDL2.audio && Module.SDL2.audio.scriptProcessorNode,
                                 null, { timeout });
      await page.evaluate(() => {
        const node = Module.SDL2.audio.scriptProcessorNode, play = node.onaudioprocess;
        window.zolbeckPeak = 0;
        node.onaudioprocess = event => {
          play(event);
          for (let c = 0; c < event.outputBuffer.numberOfChannels; ++c)
            for (const v of event.outputBuffer.getChannelData(c)) window.zolbeckPeak = Math.max(window.zolbeckPeak, Math.abs(v));
        };
      });
    }
    const begun = Date.now();
    for (const key of keys ? keys.split(",") : []) {
      await page.keyboard.down(key);
      await page.waitForTimeout(hold);
      await page.keyboard.up(key);
    }
    if (click) {
      const [x, y] = click.split(",").map(Number);
      await page.mouse.click(x, y);
    }
    if (when && !await Promise.race([sighted, page.waitForTimeout(timeout).then(() => false)]))
      throw new Error("no line of the console held " + when);
    else await page.waitForTimeout(Math.max(0, after - (Date.now() - begun)));
    await page.screenshot({ path: shot });
    if (sound) {
      const heard = await page.evaluate(() => Module.SDL2.audioContext.state + " " + window.zolbeckPeak.toFixed(4));
      process.stdout.write("sound: " + heard + "\n");
      // The music's synthesiser, where the page has one: where its player is.
      const music = await page.evaluate(async () => {
        const m = Module.zolbeckMusic;
        if (!m || !m.synth) return "-1 0";
        const probe = m.node.context.createAnalyser(), block = new Float32Array(2048);
        m.node.connect(probe);
        let peak = 0;
        for (let i = 0; i < 10; ++i) {
          await new Promise(resolve => setTimeout(resolve, 50));
          probe.getFloatTimeDomainData(block);
          for (const v of block) peak = Math.max(peak, Math.abs(v));
        }
        return (await m.synth.retrievePlayerCurrentTick()) + " " + peak.toFixed(4);
      });
      process.stdout.write("music: " + music + "\n");
    }
    status = 0;
  } else {
    const left = timeout - (Date.now() - started);
    await page.waitForFunction(() => window.zolbeckExit !== undefined, null, { timeout: left, polling: 100 });
    status = await page.evaluate(() => window.zolbeckExit);
    const times = await page.evaluate(() => [window.zolbeckStarted, window.zolbeckEnded]);
    process.stderr.write(`run_page: the program started ${times[0].toFixed(0)} ms after the page opened and ran ` +
                         `${(times[1] - times[0]).toFixed(0)} ms\n`);
  }
} catch (error) {
  process.stderr.write("run_page: " + error.message.split("\n")[0] + "\n");
} finally {
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
process.exit(status);
