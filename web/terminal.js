// The page's side of the browser edition: a terminal (xterm.js) with the line editing of a Unix
// terminal in its usual mode, and the program chosen, started as a fresh WebAssembly instance
// whose standard streams are that terminal.
"use strict";

(function () {
    const programs = {
        blockalloc: osdemos_blockalloc,
        pagefifo: osdemos_pagefifo,
        arraydel: osdemos_arraydel,
    };

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
    const keySequence = /\x1b(\[[0-9;?]*[ -\/]*[@-~]|O.|.)?/g;

    let session = null;

    // One run of one program: the line being typed, the lines typed but not read yet, and the
    // program's read that waits for them.
    class Session {
        constructor(name) {
            this.name = name;
            this.line = "";
            this.typed = [];
            this.endOfInput = false;
            this.waiting = null;
            this.running = true;
        }

        // What a key or a paste brings, handled as a terminal's line discipline would.
        type(data) {
            for (const c of data.replace(keySequence, "")) {
                if (!this.running) return;
                if (c === "\r" || c === "\n") {
                    terminal.write("\r\n");
                    this.line += "\n";
                    this.hand();
                } else if (c === "\x7f" || c === "\b") {
                    if (this.line.length === 0) continue;
                    this.line = Array.from(this.line).slice(0, -1).join("");
                    terminal.write("\b \b");
                } else if (c === "\x04") {
                    // Ctrl-D hands over the line so far; on an empty line, that is the end.
                    if (this.line.length === 0) this.endOfInput = true;
                    this.hand();
                } else if (c === "\x03") {
                    terminal.write("^C\r\n");
                    this.end(null);
                } else if (c === "\x15") {
                    terminal.write("\b \b".repeat(Array.from(this.line).length));
                    this.line = "";
                } else if (c >= " " || c === "\t") {
                    this.line += c;
                    terminal.write(c);
                }
            }
        }

        hand() {
            if (this.line.length > 0) this.typed.push(encoder.encode(this.line));
            this.line = "";
            if (this.waiting) this.waiting();
        }

        // The program's read: up to `size` bytes of the lines typed, or none at the end of input.
        async read(size) {
            while (this.typed.length === 0 && !this.endOfInput) {
                await new Promise((resolve) => (this.waiting = resolve));
                this.waiting = null;
            }
            if (this.typed.length === 0) {
                this.endOfInput = false; // as on a terminal, the next read waits again
                return new Uint8Array(0);
            }
            const first = this.typed[0];
            if (first.length <= size) return this.typed.shift();
            this.typed[0] = first.subarray(size);
            return first.subarray(0, size);
        }

        write(stream, bytes) {
            if (!this.running) return bytes.length;
            if (stream === 2) {
                terminal.write("\x1b[31m");
                terminal.write(bytes);
                terminal.write("\x1b[0m");
            } else {
                terminal.write(bytes);
            }
            return bytes.length;
        }

        // status: the exit status, or null when Ctrl-C stopped the program.
        end(status) {
            if (!this.running) return;
            this.running = false;
            terminal.write("\x1b[?25l"); // no cursor: nothing more is read
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

    function start(name) {
        if (session) session.running = false;
        const current = new Session(name);
        session = current;
        terminal.reset();
        again.hidden = true;
        statusLine.textContent = `${name} is running.`;
        programs[name]({
            osdemos: {
                isTerminal: true,
                read: (size) => current.read(size),
                wait: async () => 0,
                write: (stream, bytes) => current.write(stream, bytes),
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
