// Figures of the browser build in Debian's headless Chromium, for scripts/web-report.sh:
//   node report.js SECONDS SCRATCH NAME=ADDRESS...
// For each build, a fresh browser opens the page and reports, as one JSON line: the time from
// navigation to the first frame drawn, the frames per second and CPU seconds per second (all of
// Chromium's processes, and the page's main thread alone) while the farm idles for SECONDS.
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [seconds, scratch, ...builds] = process.argv.slice(2);
const FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--enable-unsafe-swiftshader'];

// Every clear of the page's own framebuffer starts a frame: their times since navigation.
function countFrames() {
  window.fennowFrames = [];
  for (const proto of [WebGLRenderingContext.prototype, window.WebGL2RenderingContext?.prototype]) {
    if (!proto) continue;
    const clear = proto.clear;
    proto.clear = function (mask) {
      if (this.getParameter(this.FRAMEBUFFER_BINDING) === null) window.fennowFrames.push(performance.now());
      return clear.call(this, mask);
    };
  }
}

// CPU seconds used so far by a process and all its descendants.
function treeCpu(root) {
  const tick = 100; // USER_HZ on Linux
  const children = new Map();
  const times = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      times.set(Number(pid), (Number(fields[11]) + Number(fields[12])) / tick);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(pid));
    } catch (e) { /* the process ended meanwhile */ }
  }
  let total = 0;
  const stack = [root];
  while (stack.length) {
    const pid = stack.pop();
    total += times.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

async function measure(name, address) {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
    userDataDir: fs.mkdtempSync(path.join(scratch, 'profile-')), args: FLAGS,
  });
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(countFrames);
    const session = await page.createCDPSession();
    await session.send('Performance.enable');
    await page.goto(address);
    await page.waitForFunction(() => window.fennowFrames && window.fennowFrames.length > 0,
      { timeout: 180000, polling: 50 });
    const firstFrame = await page.evaluate(() => window.fennowFrames[0]);
    await new Promise((resolve) => setTimeout(resolve, 2000)); // past start-up work
    const mainThread = async () => (await session.send('Performance.getMetrics')).metrics
      .find((m) => m.name === 'TaskDuration').value;
    const pid = browser.process().pid;
    const start = { frames: await page.evaluate(() => window.fennowFrames.length),
      cpu: treeCpu(pid), main: await mainThread(), time: Date.now() };
    await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
    const end = { frames: await page.evaluate(() => window.fennowFrames.length),
      cpu: treeCpu(pid), main: await mainThread(), time: Date.now() };
    const elapsed = (end.time - start.time) / 1000;
    console.log(JSON.stringify({ name, firstFrameMs: Math.round(firstFrame),
      fps: (end.frames - start.frames) / elapsed, cpu: (end.cpu - start.cpu) / elapsed,
      mainThreadCpu: (end.main - start.main) / elapsed }));
  } finally {
    await browser.close();
  }
}

(async () => {
  for (const build of builds) {
    const [name, address] = build.split('=');
    await measure(name, address);
  }
})().catch((error) => {
  console.error(error.stack);
  process.exit(1);
});
