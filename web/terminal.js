// The page's side of the browser edition: a terminal (xterm.js) with the line editing of a Unix
// terminal in its usual mode, and the program chosen, started as a fresh WebAssembly instance
// whose standard streams are that terminal.
"use strict";

(function () {
    // Each program's module, inlined before this script, makes a fresh instance of the program.
    const programNamed = (name) => window[`osdemos_${name}`];

    const terminal = new Terminal({
        convertEol: true, // a line end moves to the start of the next line, as a terminal does
        screenReaderMode: true,
        cursorBlink: true,
        fontFamily: "ui-monospace, 'DejaVu Sans Mono', monospace",
        fontSize: 15,
        rows: 24,
        cols: 80,
        scrollback: 5000,
    });
    terminal.open(document.getElementById("terminal"));

    const statusLine = document.getElementById("status");
    const again = document.getElementById("again");
    const encoder = new TextEncoder();
    // The escape sequences of keys that edit nothing here (arrows, function keys).
    // eslint-disable-next-line no-control-regex -- ESC starts every one of them
    const keySequence = /\x1b(\[[0-9;?]*[ -/]*[@-~]|O.|.)?/g;

    let session = null;

    // What is on its way to the screen: xterm.js is handed pieces only while less than `drawAhead`
    // bytes of them are still to be drawn, so that what waits beyond stays here, where an
    // interrupt can drop it, and an interrupt shows within that window. A program that writes
    // more than `high` bytes ahead of the screen is held back until they are down to `low`:
    // however much it writes, the page's memory stays bounded. The marks are low so that the
    // program writes in short bursts, and a key (Ctrl-C) is handled between two of them.
    const high = 24 * 1024;
    const low = 8 * 1024;
    const drawAhead = 8 * 1024;
    const pieceSize = 4096;

    class Screen {
        constructor() {
            this.pieces = [];
            this.bytes = 0; // waiting here or being drawn
            this.drawing = 0; // handed to xterm.js and not drawn yet
            this.roomWaiters = [];
            this.idleWaiters = [];
        }

        // Text or bytes: a program writes many short rows, which go on to xterm.js joined into
        // pieces of up to pieceSize bytes.
        show(data) {
            const bytes = typeof data === "string" ? encoder.encode(data) : data;
            if (bytes.length === 0) return;
            this.pieces.push(bytes);
            this.bytes += bytes.length;
            this.handOn();
        }

        handOn() {
            while (this.drawing < drawAhead && this.pieces.length > 0) {
                const piece = this.nextPiece();
                this.drawing += piece.length;
                terminal.write(piece, () => {
                    this.drawing -= piece.length;
                    this.bytes -= piece.length;
                    if (this.bytes <= low) this.wake("roomWaiters");
                    this.handOn();
                });
            }
            if (this.drawing === 0 && this.pieces.length === 0) this.wake("idleWaiters");
        }

        // The waiting bytes from the first on, up to pieceSize of them, as one piece.
        nextPiece() {
            let size = 0;
            let count = 0;
            while (count < this.pieces.length && size + this.pieces[count].length <= pieceSize) {
                size += this.pieces[count].length;
                count += 1;
            }
            if (count === 0) {
                // One piece larger than pieceSize: its first pieceSize bytes.
                const first = this.pieces[0];
                this.pieces[0] = first.subarray(pieceSize);
                return first.subarray(0, pieceSize);
            }
            if (count === 1) return this.pieces.shift();
            const piece = new Uint8Array(size);
            let at = 0;
            for (const part of this.pieces.splice(0, count)) {
                piece.set(part, at);
                at += part.length;
            }
            return piece;
        }

        wake(which) {
            const waiters = this[which];
            this[which] = [];
            for (const resolve of waiters) resolve();
        }

        full() {
            return this.bytes > high;
        }

        // Resolves once the waiting bytes are down to `low`.
        room() {
            if (this.bytes <= low) return Promise.resolve();
            return new Promise((resolve) => this.roomWaiters.push(resolve));
        }

        // Drops what waits, as a terminal does at an interrupt; what xterm.js is drawing stays.
        drop() {
            for (const piece of this.pieces) this.bytes -= piece.length;
            this.pieces = [];
            this.wake("roomWaiters");
        }

        // Resolves once xterm.js has drawn everything handed to it.
        idle() {
            if (this.drawing === 0 && this.pieces.length === 0) return Promise.resolve();
            return new Promise((resolve) => this.idleWaiters.push(resolve));
        }
    }

    // One run of one program: the line being typed, the lines typed but not read yet, the
    // program's read that waits for them, and what it wrote on its way to the screen.
    class Session {
        constructor(name) {
            this.name = name;
            this.line = "";
            this.typed = [];
            this.endOfInput = false;
            this.waiting = null;
            this.running = true;
            this.screen = new Screen();
        }

        // Nothing more is read or written: a read that waits is settled, and what the program
        // left for the screen is dropped.
        stop() {
            this.running = false;
            this.screen.drop();
            if (this.waiting) this.waiting();
        }

        // What a key or a paste brings, handled as a terminal's line discipline would.
        type(data) {
            for (const c of data.replace(keySequence, "")) {
                if (!this.running) return;
                if (c === "\r" || c === "\n") {
                    this.screen.show("\r\n");
                    this.line += "\n";
                    this.hand();
                } else if (c === "\x7f" || c === "\b") {
                    if (this.line.length === 0) continue;
                    this.line = Array.from(this.line).slice(0, -1).join("");
                    this.screen.show("\b \b");
                } else if (c === "\x04") {
                    // Ctrl-D hands over the line so far; on an empty line, that is the end.
                    if (this.line.length === 0) this.endOfInput = true;
                    this.hand();
                } else if (c === "\x03") {
                    // As a terminal does at an interrupt: what waits for the screen is dropped.
                    this.end(null);
                    this.screen.show("^C\r\n");
                } else if (c === "\x15") {
                    this.screen.show("\b \b".repeat(Array.from(this.line).length));
                    this.line = "";
                } else if (c >= " " || c === "\t") {
                    this.line += c;
                    this.screen.show(c);
                }
            }
        }

        hand() {
            if (this.line.length > 0) this.typed.push(encoder.encode(this.line));
            this.line = "";
            if (this.waiting) this.waiting();
        }

        // The program's read: up to `size` bytes of the lines typed, or none at the end of input.
        // A program that was stopped (Ctrl-C, or another one started) fails its next read and
        // write, and so ends at once instead of running on unseen.
        async read(size) {
            while (this.running && this.typed.length === 0 && !this.endOfInput) {
                await new Promise((resolve) => (this.waiting = resolve));
                this.waiting = null;
            }
            if (!this.running) return "EIO";
            if (this.typed.length === 0) {
                this.endOfInput = false; // as on a terminal, the next read waits again
                return new Uint8Array(0);
            }
            const first = this.typed[0];
            if (first.length <= size) return this.typed.shift();
            this.typed[0] = first.subarray(size);
            return first.subarray(0, size);
        }

        // The program's write: taken whole, or "EAGAIN" while the screen is too far behind, and
        // the program then waits for room (writable()).
        write(stream, bytes) {
            if (!this.running) return "EPIPE";
            if (this.screen.full()) return "EAGAIN";
            if (stream === 2) {
                this.screen.show("\x1b[31m");
                this.screen.show(bytes);
                this.screen.show("\x1b[0m");
            } else {
                this.screen.show(bytes);
            }
            return bytes.length;
        }

        async writable() {
            if (this.running) await this.screen.room();
            return 0;
        }

        // status: the exit status, or null when Ctrl-C stopped the program.
        end(status) {
            if (!this.running) return;
            this.stop();
            this.screen.show("\x1b[?25l"); // no cursor: nothing more is read
            let text = `${this.name} ended.`;
            if (status === null) text = `${this.name} was stopped with Ctrl+C.`;
            else if (status !== 0) text = `${this.name} ended with exit status ${status}.`;
            statusLine.textContent = text;
            again.textContent = `Start ${this.name} again`;
            again.hidden = false;
        }
    }

    function chosenProgram() {
        return document.querySelector('input[name="program"]:checked').value;
    }

    // A new session starts on a clean screen: nothing the last one wrote reaches it. What it left
    // waiting is dropped, and the screen is reset once xterm.js has drawn what it was given.
    let starting = Promise.resolve();
    function start(name) {
        const previous = session;
        if (previous) previous.stop();
        const current = new Session(name);
        session = current;
        again.hidden = true;
        statusLine.textContent = `${name} is starting.`;
        starting = starting
            .then(() => (previous ? previous.screen.idle() : undefined))
            .then(() => {
                if (session === current) run(current);
            });
    }

    function run(current) {
        const name = current.name;
        terminal.reset();
        statusLine.textContent = `${name} is running.`;
        programNamed(name)({
            osdemos: {
                isTerminal: true,
                read: (size) => current.read(size),
                wait: async () => 0,
                write: (stream, bytes) => current.write(stream, bytes),
                writable: () => current.writable(),
            },
            onExit: (status) => current.end(status),
            print: () => {},
            printErr: (text) => console.warn(text),
        });
        terminal.focus();
    }

    // The runtime ends a program by throwing its exit status up through the program's stack, which
    // reaches the page as an unhandled rejection: that is the normal way out, not an error.
    window.addEventListener("unhandledrejection", (event) => {
        if (event.reason && event.reason.name === "ExitStatus") event.preventDefault();
    });

    terminal.onData((data) => {
        if (session) session.type(data);
    });
    document.getElementById("choice").addEventListener("change", () => start(chosenProgram()));
    again.addEventListener("click", () => start(session ? session.name : chosenProgram()));
    start(chosenProgram());
})();
