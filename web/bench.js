// What a student waits for, in headless Chromium: the page's size, the time from loading it from
// disk to blockalloc's first prompt, and the time to draw a Display of 100,000 blocks. Also takes
// a screenshot of a short session, into OSDEMOS_SCREENSHOT (the build tree's screenshot.png; the
// web-screenshot target puts it where the README shows it, web/screenshot.png). A benchmark, not a
// test: it fails on nothing but an error.
//
//   cmake --build --preset web --target web-bench
"use strict";
const fs = require("node:fs");
const path = require("node:path");
const { pathToFileURL } = require("node:url");
const { launchChromium } = require("./chromium.js");

const pagePath = path.resolve(process.env.OSDEMOS_PAGE);
const runs = Number(process.env.RUNS || 5);

// What a person sees: the rows xterm.js has drawn. (The screen reader's copy of them follows a
// moment later, on a timer of its own, so the tests read that one and the timings this one.)
function drawn() {
    return Array.from(document.querySelectorAll(".xterm-rows > div"), (row) =>
        row.textContent.replace(/\u00a0/g, " "),
    ).join("\n");
}

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor((sorted.length - 1) / 2)];
}

async function main() {
    const browser = await launchChromium();
    const firstPrompt = [];
    const display = [];
    for (let run = 0; run < runs; ++run) {
        const page = await browser.newPage({ viewport: { width: 1000, height: 860 } });
        await page.goto(pathToFileURL(pagePath).href);
        await page.addScriptTag({ content: drawn.toString() });
        await page.waitForFunction(() => drawn().includes("memory:"), null, { polling: "raf" });
        firstPrompt.push(await page.evaluate(() => performance.now()));

        await page.keyboard.type("100000");
        await page.keyboard.press("Enter");
        await page.waitForFunction(() => drawn().includes("4.End"), null, { polling: "raf" });
        const start = await page.evaluate(() => performance.now());
        await page.keyboard.type("3");
        await page.keyboard.press("Enter");
        await page.waitForFunction(
            () => {
                const text = drawn();
                return (
                    text.includes("99999.") &&
                    text.includes("file    start   lentgh") &&
                    text.trimEnd().endsWith("4.End")
                );
            },
            null,
            { polling: "raf", timeout: 60000 },
        );
        display.push((await page.evaluate(() => performance.now())) - start);
        await page.close();
    }

    // The screenshot: a short blockalloc session, as a student would have it on the screen.
    const page = await browser.newPage({ viewport: { width: 1000, height: 860 } });
    await page.goto(pathToFileURL(pagePath).href);
    for (const line of ["6", "1", "A", "2", "1", "B", "3", "1", "A", "1", "3"]) {
        await page.keyboard.type(line);
        await page.keyboard.press("Enter");
    }
    await page.waitForFunction(
        () => document.querySelector(".xterm-accessibility-tree").textContent.includes("lentgh"),
        null,
        { polling: "raf" },
    );
    await page.waitForTimeout(300);
    await page.screenshot({ path: process.env.OSDEMOS_SCREENSHOT });
    await browser.close();

    const size = fs.statSync(pagePath).size;
    console.log(`osdemos.html: ${size} bytes (${(size / 1048576).toFixed(2)} MiB; budget 1 MiB)`);
    console.log(`medians of ${runs} runs in headless Chromium:`);
    console.log(
        `  load to blockalloc's first prompt  ${median(firstPrompt).toFixed(0)} ms (goal 1000)`,
    );
    console.log(
        `  Display of 100000 blocks drawn     ${median(display).toFixed(0)} ms (goal 2000)`,
    );
}

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
