// The page's script runs in the browser, the tests and tools under node.
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
