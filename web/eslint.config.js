// The page's scripts run in the browser, the tests and tools under node; osdemos_NAME are the
// programs' modules, which the page inlines before its script.
"use strict";
const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
    js.configs.recommended,
    {
        files: ["terminal.js"],
        languageOptions: {
            sourceType: "script",
            globals: {
                ...globals.browser,
                Terminal: "readonly",
                osdemos_blockalloc: "readonly",
                osdemos_pagefifo: "readonly",
                osdemos_arraydel: "readonly",
            },
        },
    },
    {
        files: ["run-in-node.js", "bench.js", "chromium.js", "eslint.config.js", "test/*.js"],
        languageOptions: { sourceType: "commonjs", globals: { ...globals.node } },
    },
    {
        files: ["bench.js", "test/*.js"],
        languageOptions: { globals: { ...globals.browser } },
    },
];
