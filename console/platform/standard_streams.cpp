// A program's console on the process's standard streams: the one place where the console rules
// meet the system's streams.
#include "console.hpp"
#include "platform.hpp"

namespace console {

int runOnStandardStreams(const std::function<int(Streams&)>& program) {
    Streams streams{platform::standardInput(), platform::standardOutput(),
                    platform::standardError(),
                    platform::outputIsTerminal() ? Destination::terminal : Destination::pipe};
    const int status = program(streams);
    platform::reportExit(status);
    return status;
}

int runOnStandardStreams(std::string_view program, void (*dialogue)(Console&)) {
    return runOnStandardStreams([&](Streams& streams) {
        Console console(streams.in, streams.out, streams.destination);
        dialogue(console);
        return finish(console, program, streams.errors);
    });
}

}  // namespace console
