import { launchBrowser, openPage, serveFolder } from './harness.js';
const server = await serveFolder('/tmp/probe');
const browser = await launchBrowser();
const { page } = await openPage(browser, server.url);
await page.click('#start');
await new Promise((r) => setTimeout(r, 4000));
console.log(JSON.stringify(await page.evaluate(() => window.log)));
await browser.close(); server.close();
