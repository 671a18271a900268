// Chromium from the system's packages, started headless as on a machine with no network: how the
// page's tests and its benchmark start their browser.
"use strict";
const { chromium } = require("playwright-core");

function launchChromium() {
    return chromium.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
        args: [
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
        ],
    });
}

module.exports = { launchChromium };
