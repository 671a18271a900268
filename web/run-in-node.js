// Runs one program of the browser build under node, on the process's own standard streams: how
// the tests run the WebAssembly programs (node is their emulator, as Wine is for Windows).
//
//   node web/run-in-node.js build/web/pagefifo/pagefifo.js [ARGUMENT]... <input
"use strict";
const fs = require("fs");
const path = require("path");

// A failure is reported to the program by the error's name (console/platform_browser.cpp says
// the protocol), as node names it.
function failure(error) {
    return typeof error.code === "string" ? error.code : "EIO";
}

const createProgram = require(path.resolve(process.argv[2]));
createProgram({
    arguments: process.argv.slice(3),
    osdemos: {
        isTerminal: false,
        async read(size) {
            const bytes = Buffer.alloc(size);
            try {
                return bytes.subarray(0, fs.readSync(0, bytes, 0, size, null));
            } catch (error) {
                return failure(error);
            }
        },
        async wait() {
            await new Promise((resolve) => setTimeout(resolve, 10));
            return 0;
        },
        write(stream, bytes) {
            try {
                return fs.writeSync(stream, bytes);
            } catch (error) {
                return failure(error);
            }
        },
        async writable() {
            await new Promise((resolve) => setTimeout(resolve, 10));
            return 0;
        },
    },
    onExit(status) {
        process.exitCode = status;
    },
});
