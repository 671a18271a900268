// The page as a person uses it, in headless Chromium: osdemos.html opened from disk, a program
// chosen, answers typed key by key at its prompts, and the screen read as a screen reader reads it
// (xterm.js's accessibility tree).
//
//   OSDEMOS_PAGE=build/web/osdemos.html NODE_PATH=build/web/web/npm/node_modules \
//       node --test web/test/page.test.js           (cmake --workflow --preset web runs it)
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const path = require("node:path");
const { pathToFileURL } = require("node:url");
const { launchChromium } = require("../chromium.js");

const pageUrl = pathToFileURL(path.resolve(process.env.OSDEMOS_PAGE)).href;

let browser;
test.before(async () => {
    browser = await launchChromium();
});
test.after(async () => {
    await browser.close();
});

async function open(program) {
    const page = await browser.newPage();
    const problems = [];
    page.on("pageerror", (error) => problems.push(error.message));
    page.on("console", (message) => {
        if (message.type() === "error") problems.push(message.text());
    });
    page.problems = problems;
    await page.goto(pageUrl);
    if (program !== "blockalloc") await page.check(`input[value="${program}"]`);
    return page;
}

// The terminal's rows as a screen reader has them, without blanks at their ends, and without the
// empty rows below the last one written.
async function screen(page) {
    const rows = await page.$$eval(".xterm-accessibility-tree > div", (divs) =>
        divs.map((div) => div.textContent.replace(/\u00a0/g, " ").replace(/\s+$/, "")),
    );
    while (rows.length > 0 && rows[rows.length - 1] === "") rows.pop();
    return rows.join("\n");
}

async function until(what, condition, timeout = 10000) {
    const end = Date.now() + timeout;
    for (;;) {
        const value = await what();
        if (condition(value)) return value;
        if (Date.now() > end) return value;
        await new Promise((resolve) => setTimeout(resolve, 20));
    }
}

// The screen shows the last 24 rows of what was written and typed, the row of the cursor last:
// an empty one ("") after a line end.
async function expectScreen(page, expected) {
    const rows = expected.slice(-24);
    while (rows.length > 0 && rows[rows.length - 1] === "") rows.pop();
    const text = rows.join("\n");
    assert.strictEqual(
        await until(
            () => screen(page),
            (s) => s === text,
        ),
        text,
    );
}

// Waits until the program shows `prompt` at the end of the screen, then types the answer key by
// key and presses Enter.
async function answer(page, prompt, text) {
    const shown = await until(
        () => screen(page),
        (s) => s.endsWith(prompt),
    );
    assert.ok(shown.endsWith(prompt), `waited for "${prompt}", the screen shows:\n${shown}`);
    await page.keyboard.type(text);
    await page.keyboard.press("Enter");
}

// Every test ends here: nothing went wrong on the page on the way.
async function close(page) {
    assert.deepStrictEqual(page.problems, []);
    await page.close();
}

async function status(page) {
    return (await page.textContent("#status")).trim();
}

async function expectEnded(page, text) {
    assert.strictEqual(
        await until(
            () => status(page),
            (s) => s === text,
        ),
        text,
    );
    assert.ok(await page.isVisible("#again"));
}

const menu = ["1.Add file", "2.Remove file", "3.Display blocks", "4.End"];
const askName = "please enter your file name with only one letter:";
const askBlocks = "Enter the number of blocks in the file:";

test("blockalloc: a whole session; Remove file clears the screen", async () => {
    const page = await open("blockalloc");
    await answer(page, "Enter the number of blocks in the memory:", "4");
    for (const [name, blocks] of [
        ["A", "2"],
        ["B", "1"],
    ]) {
        await answer(page, "4.End", "1");
        await answer(page, askName, name);
        await answer(page, askBlocks, blocks);
    }
    await answer(page, "4.End", "3");
    await expectScreen(page, [
        "Enter the number of blocks in the memory: 4",
        ...menu,
        "1",
        askName,
        "A",
        askBlocks,
        "2",
        ...menu,
        "1",
        askName,
        "B",
        askBlocks,
        "1",
        ...menu,
        "3",
        "0.      A",
        "1.      A",
        "2.      B",
        "3.      H",
        "        file    start   lentgh",
        "0.      A       0       2",
        "1.      B       2       1",
        ...menu,
        "",
    ]);
    await answer(page, "4.End", "2");
    await answer(page, "please choose:", "1");
    await answer(page, "4.End", "3");
    await answer(page, "4.End", "4");
    await expectScreen(page, [
        "the memory",
        "1.   A",
        "2.   B",
        "please choose:1",
        ...menu,
        "3",
        "0.      H",
        "1.      H",
        "2.      B",
        "3.      H",
        "        file    start   lentgh",
        "0.      B       2       1",
        ...menu,
        "4",
    ]);
    await expectEnded(page, "blockalloc ended.");
    await close(page);
});

test("pagefifo: pages typed on several lines", async () => {
    const page = await open("pagefifo");
    await answer(page, "please enter your number of input :", "7");
    await answer(page, "Enter the values for the page :", "a b c");
    await page.keyboard.type("a d b e");
    await page.keyboard.press("Enter");
    await expectScreen(page, [
        "please enter your number of input :7",
        "Enter the values for the page :",
        "a b c",
        "a d b e",
        "     page1    page2    page3",
        "1        a",
        "2        a        b",
        "3        a        b        c",
        "5        d        b        c",
        "7        d        e        c",
    ]);
    await expectEnded(page, "pagefifo ended.");
    await close(page);
});

test("arraydel: Backspace edits the line; the program starts again after its end", async () => {
    const page = await open("arraydel");
    await answer(page, "Enter the integer to delete:", "3");
    await expectEnded(page, "arraydel ended.");
    await page.click("#again");
    await until(
        () => screen(page),
        (s) => s.endsWith("Enter the integer to delete:"),
    );
    await page.keyboard.type("9");
    await page.keyboard.press("Backspace");
    await page.keyboard.type("1");
    await page.keyboard.press("Enter");
    await expectScreen(page, [
        "Original Array: 1 2 3 4 5",
        "Enter the integer to delete: 1",
        "Updated Array: 1 3 4 5 -1",
    ]);
    await expectEnded(page, "arraydel ended.");
    await close(page);
});

test("Ctrl-D on an empty line is the end of input; Ctrl-C stops the program", async () => {
    const page = await open("pagefifo");
    await answer(page, "please enter your number of input :", "5");
    await answer(page, "Enter the values for the page :", "x y");
    await page.keyboard.press("Control+d");
    await expectScreen(page, [
        "please enter your number of input :5",
        "Enter the values for the page :",
        "x y",
        "     page1    page2    page3",
        "1        x",
        "2        x        y",
    ]);
    await expectEnded(page, "pagefifo ended.");

    await page.check('input[value="blockalloc"]');
    await answer(page, "Enter the number of blocks in the memory:", "3");
    await until(
        () => screen(page),
        (s) => s.endsWith("4.End"),
    );
    await page.keyboard.press("Control+c");
    await expectEnded(page, "blockalloc was stopped with Ctrl+C.");
    await close(page);
});

// As on any terminal, what is pasted is echoed at once, before the program answers it.
test("a pasted session is typed as it stands", async () => {
    const page = await open("pagefifo");
    await until(
        () => screen(page),
        (s) => s.endsWith("please enter your number of input :"),
    );
    await page.focus(".xterm-helper-textarea");
    await page.evaluate((text) => {
        const data = new DataTransfer();
        data.setData("text/plain", text);
        document.querySelector(".xterm-helper-textarea").dispatchEvent(
            new ClipboardEvent("paste", {
                clipboardData: data,
                bubbles: true,
                cancelable: true,
            }),
        );
    }, "4\nz z\ny w\n");
    await expectScreen(page, [
        "please enter your number of input :4",
        "z z",
        "y w",
        "Enter the values for the page :",
        "     page1    page2    page3",
        "1        z",
        "3        z        y",
        "4        z        y        w",
    ]);
    await expectEnded(page, "pagefifo ended.");
    await close(page);
});

test("blockalloc: a map beyond the page's memory is refused and asked for again", async () => {
    const page = await open("blockalloc");
    await answer(page, "Enter the number of blocks in the memory:", "2000000000");
    await answer(page, "Enter the number of blocks in the memory:", "2");
    await expectScreen(page, [
        "Enter the number of blocks in the memory: 2000000000",
        "there isn't enough memory for that many blocks",
        "Enter the number of blocks in the memory: 2",
        ...menu,
    ]);
    await close(page);
});

// Output that the terminal cannot draw as fast as it comes: the program waits for the screen, so
// every row is drawn, the page keeps answering, and its memory stays bounded.
test("blockalloc: a Display of 10^6 blocks is drawn to its end with bounded memory", async () => {
    const page = await open("blockalloc");
    await answer(page, "Enter the number of blocks in the memory:", "1000000");
    await answer(page, "4.End", "3");
    let peak = 0;
    const drawn = await until(
        async () => {
            peak = Math.max(peak, await page.evaluate(() => performance.memory.usedJSHeapSize));
            return screen(page);
        },
        (s) => s.includes("999999.") && s.endsWith("4.End"),
        240000,
    );
    assert.ok(drawn.includes("999999. H") && drawn.endsWith("4.End"), drawn.slice(-400));
    assert.ok(peak < 50 * 1048576, `the page's heap reached ${peak} bytes`);
    console.log(
        `# 10^6 blocks drawn; the page's heap peaked at ${(peak / 1048576).toFixed(1)} MiB`,
    );
    await close(page);
});

// Ctrl-C in the middle of a long Display stops it at once: ^C shows within 100 ms and nothing is
// drawn after it. Starting again then shows only the new prompt, on a clean screen.
test("Ctrl-C drops the output still to come; a new session starts clean", async () => {
    const page = await open("blockalloc");
    await answer(page, "Enter the number of blocks in the memory:", "1000000");
    await answer(page, "4.End", "3");
    // In the page, on the rows as drawn (the screen reader's copy comes later): Ctrl-C once the
    // listing is under way, then the time until ^C is drawn, and whether the listing had ended.
    const { shownAfter, ended } = await page.evaluate(
        () =>
            new Promise((resolve) => {
                const rows = () =>
                    Array.from(
                        document.querySelectorAll(".xterm-rows > div"),
                        (row) => row.textContent,
                    ).join("\n");
                const textarea = document.querySelector(".xterm-helper-textarea");
                let pressed = null;
                const started = performance.now();
                const look = () => {
                    const now = performance.now();
                    if (pressed === null && now - started > 20000)
                        resolve({ shownAfter: NaN, ended: false });
                    // Rows of four digits and more: the listing is under way (each frame shows other ones).
                    if (pressed === null && /^\d{4,}\./m.test(rows())) {
                        pressed = now;
                        textarea.dispatchEvent(
                            new KeyboardEvent("keydown", {
                                key: "c",
                                code: "KeyC",
                                keyCode: 67,
                                ctrlKey: true,
                                bubbles: true,
                            }),
                        );
                    }
                    if (pressed !== null && /\^C\s*$/.test(rows())) {
                        resolve({ shownAfter: now - pressed, ended: rows().includes("999999.") });
                    } else if (pressed !== null && now - pressed > 5000) {
                        resolve({ shownAfter: Infinity, ended: rows().includes("999999.") });
                    } else {
                        requestAnimationFrame(look);
                    }
                };
                look();
            }),
    );
    assert.ok(!Number.isNaN(shownAfter), "the listing never showed");
    assert.ok(!ended, "the listing had ended before Ctrl-C was pressed");
    // 75 to 85 ms here, a few frames of a page busy drawing (11 ms at an idle prompt); the limit
    // leaves room for a slower machine.
    console.log(`# ^C drawn ${shownAfter.toFixed(0)} ms after Ctrl-C`);
    assert.ok(shownAfter < 150, `^C was drawn ${shownAfter} ms after Ctrl-C`);
    const stopped = await until(
        () => screen(page),
        (s) => s.endsWith("^C"),
        5000,
    );
    assert.ok(stopped.endsWith("^C"), stopped.slice(-200));
    await expectEnded(page, "blockalloc was stopped with Ctrl+C.");
    await new Promise((resolve) => setTimeout(resolve, 500));
    assert.strictEqual(await screen(page), stopped);

    await page.click("#again");
    await expectScreen(page, ["Enter the number of blocks in the memory:"]);
    await new Promise((resolve) => setTimeout(resolve, 500));
    assert.strictEqual(await screen(page), "Enter the number of blocks in the memory:");
    await close(page);
});
