// The browser build as a player meets it, in Debian's Chromium driven by puppeteer-core:
//   WATER_STEPS=N FPS_FIGURE='x0,y0 x1,y1' node browser_test.js ADDRESS SCRATCH   (run.sh sets both)
// ADDRESS serves build-web/; SCRATCH receives browser-1.png ... browser-3.png (the farm at rest
// in each step of its flowing water, which the caller compares with the native game's) and the
// browser's profile. Prints one line per case
// and "N passed, N failed" last; exits 1 when any case failed.
'use strict';
const path = require('path');
const puppeteer = require('puppeteer-core');

const [address, scratch] = process.argv.slice(2);
const DEADLINE_MS = 120000; // loading under a busy machine can be slow: generous, always polled
// Where the player walks: west of the flowing water, above the FPS figure.
const BAND = { x: 0, y: 0, width: 560, height: 280 };
// The chat box's text, west of the river.
const CHAT = { x: 0, y: 380, width: 600, height: 220 };
// How many pictures the water steps through, and the FPS figure left out of them, as
// tests/web/frames.sh gives them: "x0,y0 x1,y1", corners included.
const WATER_STEPS = Number(process.env.WATER_STEPS);
const FPS_FIGURE = (([x0, y0, x1, y1]) => ({ x: x0, y: y0, width: x1 - x0 + 1, height: y1 - y0 + 1 }))(
  (process.env.FPS_FIGURE || '').split(/[ ,]/).map(Number));
const QUILLA = [348, 250];
const OPEN_GROUND = [450, 330]; // the path below the field: a click there reaches the world
// Quilla's first page: four lines, a blank, then the responses on chat lines 5 to 7.
const FIRST_RESPONSE = [300, 380 + 13 + 16 * 5 + 8];
let lastPage = null; // the page whose console a failure shows
let passed = 0;
let failed = 0;

async function check(name, body) {
  try {
    await body();
    passed++;
    console.log(`PASS ${name}`);
  } catch (error) {
    failed++;
    console.log(`FAIL ${name}: ${error.message}`);
    if (lastPage) console.log(`  last console lines:\n    ${lastPage.lines.slice(-12).join('\n    ')}`);
  }
}

function assert(condition, message) {
  if (!condition) throw new Error(message);
}

async function until(what, test, ms = DEADLINE_MS) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// A page with the game in a browser or one of its contexts, its console lines gathered in
// page.lines.
async function open(where, query = '') {
  const page = await where.newPage();
  await page.setViewport({ width: 1000, height: 650 }); // shorter than the page: it could scroll
  page.lines = [];
  page.on('console', (message) => page.lines.push(message.text()));
  lastPage = page;
  await page.goto(address + query);
  return page;
}

function lineCount(page, text) {
  return page.lines.filter((line) => line === text).length;
}

async function waitLine(page, text, count = 1) {
  await until(`the console line "${text}"`, () => lineCount(page, text) >= count);
}

async function canvasBox(page) {
  return page.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return { x: r.left + window.scrollX, y: r.top + window.scrollY, width: r.width, height: r.height };
  });
}

async function shot(page, part = { x: 0, y: 0, width: 800, height: 600 }) {
  const box = await canvasBox(page);
  const clip = { x: box.x + part.x, y: box.y + part.y, width: part.width, height: part.height };
  return Buffer.from(await page.screenshot({ clip, captureBeyondViewport: true }));
}

// A picture of part of the canvas once two in a row agree.
async function still(page, part) {
  let last = await shot(page, part);
  return until('the picture to rest', async () => {
    const next = await shot(page, part);
    const same = next.equals(last);
    last = next;
    return same ? next : null;
  });
}

// The picture's pixels without the FPS figure, as the page itself decodes them: equal keys,
// equal pictures.
async function frameKey(page, png) {
  return page.evaluate(async (url, fps) => {
    const image = new Image();
    image.src = url;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    context.fillRect(fps.x, fps.y, fps.width, fps.height);
    return canvas.toDataURL();
  }, 'data:image/png;base64,' + png.toString('base64'), FPS_FIGURE);
}

async function click(page, [x, y]) {
  const box = await canvasBox(page);
  await page.mouse.click(box.x + x - (await page.evaluate(() => window.scrollX)),
    box.y + y - (await page.evaluate(() => window.scrollY)));
}

async function hold(page, key, ms) {
  await page.keyboard.down(key);
  await new Promise((resolve) => setTimeout(resolve, ms)); // the walk's length, not a wait
  await page.keyboard.up(key);
}

async function started(page) {
  await waitLine(page, 'Begin primary game loop');
  await page.waitForSelector('#notice', { hidden: true, timeout: DEADLINE_MS });
}

async function main() {
  if (!(WATER_STEPS > 0) || Object.values(FPS_FIGURE).some(Number.isNaN)) {
    console.log('FAIL WATER_STEPS and FPS_FIGURE are not set: run tests/web/run.sh');
    process.exit(1);
  }
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(scratch, 'profile'),
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--enable-unsafe-swiftshader'],
  });
  try {
    const page = await open(browser);

    await check('the page: title, centred 800x600 canvas, the game starts', async () => {
      assert((await page.title()) === 'Fennow-Online', `title is "${await page.title()}"`);
      assert((await page.$eval('h1', (h) => h.textContent)) === 'Fennow-Online', 'no heading');
      await started(page);
      const box = await canvasBox(page);
      assert(box.width === 800 && box.height === 600, `canvas is ${box.width}x${box.height}`);
      assert(Math.abs(box.x + 400 - 500) <= 1, `canvas is not centred (left at ${box.x})`);
      assert(lineCount(page, 'CFG File: FennowOnline.cfg not found.  Creating a new one - done') === 1,
        'a fresh profile did not make the key-binding file');
    });

    await check('the farm at rest in each step of the water is kept for the comparison', async () => {
      const seen = new Set();
      await until(`the water's ${WATER_STEPS} steps`, async () => {
        const picture = await shot(page);
        const key = await frameKey(page, picture);
        if (!seen.has(key)) {
          seen.add(key);
          require('fs').writeFileSync(path.join(scratch, `browser-${seen.size}.png`), picture);
        }
        return seen.size >= WATER_STEPS;
      });
    });

    await check('after a click on the canvas the arrow keys move the player, not the page', async () => {
      await click(page, OPEN_GROUND);
      await waitLine(page, 'Mouse up event thrown to Environment');
      await page.evaluate(() => window.scrollTo(0, 0));
      const before = await still(page, BAND);
      await hold(page, 'ArrowDown', 400);
      await hold(page, 'ArrowRight', 400);
      const after = await still(page, BAND);
      assert(!after.equals(before), 'the picture did not change');
      assert((await page.evaluate(() => window.scrollY + window.scrollX)) === 0, 'the page scrolled');
    });

    await check('a click on Quilla opens her conversation; a response changes the picture', async () => {
      const closed = await still(page, CHAT);
      await click(page, QUILLA);
      await waitLine(page, 'Mouse up event thrown to Environment', 2);
      const opened = await still(page, CHAT);
      assert(!opened.equals(closed), 'the chat box did not open');
      await click(page, FIRST_RESPONSE);
      await waitLine(page, 'Calling Script: Data\\Scripts\\Quilla.lua with value 1');
      const answered = await still(page, CHAT);
      assert(!answered.equals(opened), 'the chat box did not change');
    });

    await check('a rebound key in FennowOnline.cfg survives a reload', async () => {
      await page.evaluate(() => new Promise((resolve) => {
        Module.FS.writeFile('FennowOnline.cfg', '//MY KEYS\nUp W NONE\nQuit ESCAPE Q\n');
        Module.whenFilesKept(resolve);
      }));
      page.lines = [];
      await page.reload();
      await started(page);
      assert(lineCount(page, 'Read Up: W NONE') === 1, 'the rebinding was not read back');
      await click(page, OPEN_GROUND);
      const before = await still(page, BAND);
      await hold(page, 'w', 400);
      assert(!(await still(page, BAND)).equals(before), 'W does not move the player');
    });

    await check('quitting shows "The game has ended." and starting again works', async () => {
      await page.keyboard.press('q');
      await page.waitForSelector('#restart', { visible: true, timeout: DEADLINE_MS });
      assert((await page.$eval('#message', (m) => m.textContent)) === 'The game has ended.',
        'no end message');
      assert(lineCount(page, '== Cleanup Completed ==') === 1, 'the game was not cleaned up');
      page.lines = [];
      await Promise.all([page.waitForNavigation(), page.click('#restart')]);
      await started(page);
      // Quitting saved the run, in IndexedDB like the key file, and the new start loads it.
      assert(page.lines.some((l) => l.startsWith('Loaded the save FennowOnline.sav: map WillowCreekFarm, ')),
        'the save written on quitting was not loaded');
    });

    await check('?map=NAME&author=1 become --map NAME --author', async () => {
      // A profile of its own: this profile's save would put its map in place of the start map.
      const other = await open(await browser.createBrowserContext(), '?map=Nowhere&author=1');
      await started(other);
      assert(other.lines.some((l) => l.includes('Data\\Maps\\Nowhere.fmp')), 'the map was not asked for');
      assert(!other.lines.includes('Welcome to Willow Creek Farm!'), 'the farm was loaded');
      await other.close();
    });

    await check('without WebGL the page says so in words', async () => {
      const bare = await browser.newPage();
      await bare.evaluateOnNewDocument(() => {
        HTMLCanvasElement.prototype.getContext = () => null;
      });
      await bare.goto(address);
      const text = await bare.$eval('#message', (m) => m.textContent);
      assert(/needs WebGL/.test(text), `the page says "${text}"`);
      await bare.close();
    });
  } finally {
    await browser.close();
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed === 0 ? 0 : 1);
}

main().catch((error) => {
  console.log(`FAIL the browser test stopped: ${error.stack}`);
  process.exit(1);
});
