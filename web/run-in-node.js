// Runs one program of the browser build under node, on the process's own standard streams: how
// the tests run the WebAssembly programs (node is their emulator, as Wine is for Windows).
//
//   node web/run-in-node.js build/web/pagefifo/pagefifo.js [ARGUMENT]... <input
"use strict";
const fs = require("fs");
const path = require("path");

// The errors the program's platform layer knows, in its order (console/platform_browser.cpp).
const errorNames = ["EAGAIN", "EINTR", "EBADF", "EISDIR", "ENOSPC", "EPIPE", "EIO"];

function failure(error) {
    const place = errorNames.indexOf(error.code);
    return -(1 + (place < 0 ? errorNames.indexOf("EIO") : place));
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
    },
    onExit(status) {
        process.exitCode = status;
    },
});
