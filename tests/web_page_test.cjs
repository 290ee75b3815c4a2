// Drives the calculator page in headless Chromium as a customer on a phone would: chooses options,
// reads the live price, sends a request. Prints one JSON line with what it saw; exits 1 on a fault.
'use strict';
const puppeteer = require(process.env.PUPPETEER_CORE);
const base = process.argv[2];

function check(condition, message) {
  if (!condition) throw new Error(message);
}

async function quote(job) {
  const response = await fetch(base + 'api/v1/quote', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(job) });
  return response.json();
}

async function tableOf(page) {
  return page.$$eval('#lines tbody tr', (rows) => rows.map((row) =>
    Array.from(row.cells).slice(0, 3).map((cell) => cell.textContent)));
}

// The API's lines in words, by quantity and unit price as a number: the page writes money its
// own way, which the suite checks by its figures, and an earlier answer (the sizes half typed) may
// show the same line at another price.
async function waitForLines(page, lines) {
  const wanted = JSON.stringify(lines.map((line) => [line.wording, line.quantity,
    Number(line.unitPrice)]));
  await page.waitForFunction((text) => JSON.stringify(Array.from(document.querySelectorAll('#lines tbody tr'))
    .map((row) => [row.cells[0].textContent, row.cells[1].textContent,
      Number(row.cells[2].textContent.replace(/\s/g, '').replace(',', '.'))])) === text,
    { timeout: 5000 }, wanted).catch(async () => {
    throw new Error('the page shows ' + JSON.stringify(await tableOf(page)) + ', not ' + wanted);
  });
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: process.env.BROWSER_PROFILE,
    // An English browser: the page's date stays Russian all the same.
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--lang=en-US'],
  });
  const seen = {};
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
    const problems = [];
    page.on('pageerror', (error) => problems.push(String(error.stack || error)));
    page.on('console', (message) => problems.push(message.text()));
    await page.goto(base, { waitUntil: 'networkidle0' });
    await page.waitForSelector('#o-radioButton_3');

    // Every control has its label.
    const unlabelled = await page.$$eval('input, select, textarea', (controls) => controls
      .filter((control) => !control.id || !document.querySelector('label[for="' + control.id + '"]'))
      .map((control) => control.outerHTML));
    check(unlabelled.length === 0, 'controls without a label: ' + unlabelled.join(' '));
    // Nothing wider than the phone's screen.
    const width = await page.evaluate(() => document.documentElement.scrollWidth);
    check(width <= 390, 'the page is ' + width + ' px wide on a 390 px screen');
    // No caption is cut inside a word: each word of it stands on one line.
    const cut = await page.$$eval('.option label', (labels) => labels.filter((label) => {
      const text = label.firstChild;
      if (!text || text.nodeType !== Node.TEXT_NODE) return false;
      const range = document.createRange();
      let at = 0;
      for (const word of text.data.split(' ')) {
        range.setStart(text, at);
        range.setEnd(text, at + word.length);
        at += word.length + 1;
        if (word && range.getClientRects().length > 1) return true;
      }
      return false;
    }).map((label) => label.textContent));
    check(cut.length === 0, 'captions cut inside a word on a phone: ' + cut.join(', '));

    // A4 4+4 matte 350 with varnish and corner cutting, 100 pieces, by tapping the captions.
    for (const id of ['radioButton_3', 'radioButton_28', 'radioButton_49', 'radioButton_78',
                      'checkBox_161', 'checkBox_34'])
      await page.click('label[for="o-' + id + '"]');
    await page.$eval('#f-lineEdit', (field) => { field.value = ''; });
    await page.type('#f-lineEdit', '100');
    const sheet = await quote({ page: 'sheet_products', fields: { lineEdit: 100 },
      options: ['radioButton_3', 'radioButton_28', 'radioButton_49', 'radioButton_78', 'checkBox_161', 'checkBox_34'] });
    await waitForLines(page, sheet.lines);
    seen.sheet = await tableOf(page);
    seen.total = await page.$eval('#total', (node) => node.textContent);
    seen.sum = await page.$eval('#lines tbody td:nth-child(4)', (node) => node.textContent);
    seen.tax = await page.$eval('#tax', (node) => (node.hidden ? '' : node.textContent));
    seen.bar = await page.$eval('#barTotal', (node) => node.textContent);

    // The street page: film at 360 dpi, 1000 × 2000 mm.
    await page.select('#page', 'street');
    await page.waitForSelector('#o-radioButton_11');
    await page.click('label[for="o-radioButton_11"]');
    await page.click('label[for="o-radioButton_112"]');
    await page.type('#f-lineEditWidthStreet', '1000');
    await page.type('#f-lineEditHeightStreet', '2000');
    const street = await quote({ page: 'street', options: ['radioButton_11', 'radioButton_112'],
      fields: { lineEditWidthStreet: 1000, lineEditHeightStreet: 2000 } });
    await waitForLines(page, street.lines);
    seen.street = await tableOf(page);

    // The souvenir page: the mugs' samples, every picture loaded.
    await page.select('#page', 'souvenir');
    await page.waitForSelector('#o-radioButton_68');
    await page.click('label[for="o-radioButton_68"]');
    await page.waitForFunction(() => document.querySelectorAll('#gallery img').length > 0
      && Array.from(document.querySelectorAll('#gallery img')).every((img) => img.complete && img.naturalWidth > 0),
    { timeout: 5000 }).catch(() => { throw new Error('the mugs\' pictures did not load'); });
    seen.pictures = await page.$$eval('#gallery img', (images) => images.map((img) => img.alt));
    await page.click('label[for="o-radioButton_84"]');
    seen.discPictures = await page.$$eval('#gallery img', (images) => images.length);
    await page.select('#page', 'street');
    await page.waitForSelector('#o-radioButton_11');
    await page.click('label[for="o-radioButton_11"]');
    await page.click('label[for="o-radioButton_112"]');
    await page.type('#f-lineEditWidthStreet', '1000');
    await page.type('#f-lineEditHeightStreet', '2000');
    await waitForLines(page, street.lines);

    // The request, with a name that is markup: it stays text.
    await page.type('#name', '<b>Иван</b>');
    await page.type('#phone', '+7 900 123-45-67');
    await page.type('#comment', 'Срочно');
    // A date not in the page's form is stopped on the page; then one ten days on, as written.
    await page.type('#due', '2030-01-01');
    await page.click('#send');
    seen.dateRefused = await page.$eval('#sent', (node) => node.textContent);
    const wished = new Date(Date.now() + 10 * 86400000);
    const two = (value) => String(value).padStart(2, '0');
    seen.dueTyped = two(wished.getDate()) + '.' + two(wished.getMonth() + 1) + '.' + wished.getFullYear();
    seen.dueIso = wished.getFullYear() + '-' + two(wished.getMonth() + 1) + '-' + two(wished.getDate());
    await page.$eval('#due', (node) => { node.value = ''; });
    await page.type('#due', seen.dueTyped);
    seen.duePlaceholder = await page.$eval('#due', (node) => node.placeholder);
    seen.shop = await page.$eval('#shop', (node) => (node.hidden ? ''
      : Array.from(node.children).map((line) => line.textContent).join('\n')));
    await page.click('#send');
    await page.waitForFunction(() => /Заявка № \d+/.test(document.getElementById('sent').textContent),
      { timeout: 10000 }).catch(async () => {
      throw new Error('no number: ' + await page.$eval('#sent', (node) => node.textContent) + ' ' + problems.join('; '));
    });
    seen.sent = await page.$eval('#sent', (node) => node.textContent);
    seen.number = Number(/№ (\d+)/.exec(seen.sent)[1]);
    check(problems.length === 0, 'script errors: ' + problems.join('; '));

    // The accessibility rules (WCAG A and AA) on the page with an answer shown, at a phone's and
    // a desktop's width.
    seen.axe = [];
    seen.axeRulesPassed = 0;
    const axeSource = require('fs').readFileSync(process.env.AXE_CORE, 'utf8');
    for (const width of [375, 1280]) {
      const wide = await browser.newPage();
      await wide.setViewport({ width, height: 900 });
      await wide.goto(base, { waitUntil: 'networkidle0' });
      await wide.waitForSelector('#o-radioButton_3');
      await wide.waitForFunction(() => !document.getElementById('answer').hidden, { timeout: 5000 });
      await wide.evaluate(axeSource);
      const found = await wide.evaluate(() => window.axe.run(document, {
        runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }));
      seen.axeRulesPassed += found.passes.length;
      for (const violation of found.violations)
        seen.axe.push(width + ' px: ' + violation.id + ' (' + violation.nodes.map((node) => node.target.join(' ')).join(', ') + ')');
      await wide.close();
    }
    if (process.env.SHOT) await page.screenshot({ path: process.env.SHOT, fullPage: false });
  } finally {
    await browser.close();
  }
  console.log(JSON.stringify(seen));
})().catch((error) => {
  console.error(error.message || String(error));
  process.exit(1);
});
