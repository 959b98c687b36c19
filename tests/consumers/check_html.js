// SPDX-License-Identifier: MIT
// Opens each page that write_samples wrote in headless Chromium (with a new
// empty profile, as playwright-core launches it) and checks,
// from the page's own layout, that every mark's left edge lies under the
// character it marks (within a pixel), that the page holds no script and
// that it loads nothing. check_html.js FOLDER [SCREENSHOT.png] also keeps a
// picture of the page of all samples.
'use strict';
const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const { chromium } = require('playwright-core');

const dir = path.resolve(process.argv[2], 'html');
const screenshot = process.argv[3];
const pages = fs.readFileSync(path.join(dir, 'pages.expect'), 'utf8')
  .split('\n').filter((line) => line !== '').map((line) => line.split('\t'));
let failures = 0;

function fail(what) {
  console.error(what);
  failures += 1;
}

// Runs in the page: for each mark, the left edges of the mark and of the one
// occurrence of its character on the nearest row above it.
function measure(shown) {
  const cells = '.vantel-w1, .vantel-w2';
  const marks = [...document.querySelectorAll('pre .vantel-primary, pre .vantel-secondary')]
    .filter((m) => /^[\^~+-]+$/.test(m.textContent));
  const found = marks.map((mark, k) => {
    const under = mark.getBoundingClientRect();
    const boxes = [];
    const walk = document.createTreeWalker(mark.closest('pre'), NodeFilter.SHOW_TEXT);
    for (let node; (node = walk.nextNode());) {
      for (let at = node.data.indexOf(shown[k]); at >= 0; at = node.data.indexOf(shown[k], at + 1)) {
        const range = document.createRange();
        range.setStart(node, at);
        range.setEnd(node, at + shown[k].length);
        const cell = node.parentElement.matches(cells) ? node.parentElement : null;
        const box = cell ? cell.getBoundingClientRect() : range.getClientRects()[0];
        if (box && box.bottom <= under.top + 1) boxes.push(box);
      }
    }
    const row = Math.max(...boxes.map((b) => b.top));
    const onRow = boxes.filter((b) => Math.abs(b.top - row) < 1);
    return { mark: under.left, chars: onRow.map((b) => b.left) };
  });
  const active = document.querySelectorAll('script, link, img, iframe, object, embed, base, [src]');
  const handlers = [...document.querySelectorAll('*')]
    .filter((e) => [...e.attributes].some((a) => a.name.startsWith('on')));
  return {
    found,
    active: active.length + handlers.length,
    resources: performance.getEntriesByType('resource').length,
  };
}

async function check(browser, [file, ...shown]) {
  const page = await browser.newPage();
  const url = pathToFileURL(path.join(dir, file)).href;
  const requested = [];
  page.on('request', (request) => requested.push(request.url()));
  await page.goto(url);
  const got = await page.evaluate(measure, shown);
  if (got.found.length !== shown.length) fail(`${file}: ${got.found.length} marks, expected ${shown.length}`);
  got.found.forEach(({ mark, chars }, k) => {
    if (chars.length !== 1) fail(`${file}: mark ${k + 1}: ${chars.length} of ${JSON.stringify(shown[k])} on the row above`);
    else if (Math.abs(mark - chars[0]) > 1) fail(`${file}: mark ${k + 1} at x=${mark}, ${JSON.stringify(shown[k])} at x=${chars[0]}`);
  });
  if (got.active !== 0) fail(`${file}: ${got.active} scripts, handlers or loading elements`);
  const outside = requested.filter((u) => u !== url);
  if (got.resources !== 0 || outside.length !== 0) fail(`${file}: loaded ${outside.join(' ')}`);
  if (file === 'all.html' && screenshot) await page.screenshot({ path: screenshot, fullPage: true });
  await page.close();
  return got.found.length;
}

(async () => {
  const browser = await chromium.launch({
    executablePath: process.env.VANTEL_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  let marks = 0;
  try {
    for (const expected of pages) marks += await check(browser, expected);
  } finally {
    await browser.close();
  }
  console.log(`html: ${pages.length} pages, ${marks} marks, ${failures} failures`);
  process.exit(failures === 0 ? 0 : 1);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
