#include "options.hpp"

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

// args reports what it cannot parse through GetError() instead of throwing: the browser build has
// no exceptions.
#define ARGS_NOEXCEPT
#include <args.hxx>

namespace pagesim {
namespace {

using pagemodel::Policy;

constexpr std::string_view compareOption = "--compare";

// A whole argument of decimal digits from `least` to `most`, or nothing.
std::optional<std::uint64_t> numberIn(std::string_view text, std::uint64_t least,
                                      std::uint64_t most) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || stop != end) return {};
    if (value < least || value > most) return {};
    return value;
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool parsePolicies(std::string_view list, std::vector<Policy>& policies, std::string& error) {
    policies.clear();
    if (list == "all") {
        for (const auto& known : pagemodel::policies) policies.push_back(known.policy);
        return true;
    }
    std::size_t at = 0;
    for (;;) {
        const std::size_t comma = list.find(',', at);
        const std::string_view name = list.substr(at, comma - at);
        const std::optional<Policy> policy = pagemodel::policyNamed(name);
        if (!policy) {
            error = "unknown policy " + quoted(name) + " (fifo, lru, opt, clock, random or all)";
            return false;
        }
        policies.push_back(*policy);
        if (comma == std::string_view::npos) return true;
        at = comma + 1;
    }
}

bool parseRange(std::string_view range, Options& options, std::string& error) {
    const std::size_t dash = range.find('-');
    const auto fewest = numberIn(range.substr(0, dash), pagemodel::minFrames, pagemodel::maxFrames);
    const auto most =
        dash == std::string_view::npos
            ? std::nullopt
            : numberIn(range.substr(dash + 1), pagemodel::minFrames, pagemodel::maxFrames);
    if (!fewest || !most || *fewest > *most) {
        error = "--compare wants frames A-B with 1 <= A <= B <= 65536, not " + quoted(range);
        return false;
    }
    options.fewestFrames = static_cast<std::size_t>(*fewest);
    options.mostFrames = static_cast<std::size_t>(*most);
    return true;
}

// --compare takes its range only joined to it (--compare=2-5), as GNU tools take an optional
// value: args would take the next argument, a page, for it. The joined form is cut off here.
std::optional<std::string> takeCompareRange(std::vector<std::string>& arguments) {
    std::optional<std::string> range;
    for (std::string& argument : arguments) {
        if (argument == "--") break;
        const std::string_view text(argument);
        if (text.substr(0, compareOption.size() + 1) != std::string(compareOption) + "=") continue;
        range = argument.substr(compareOption.size() + 1);
        argument = std::string(compareOption);
    }
    return range;
}

// args's words for what it could not parse, as a person reads an option: "-p", "--frames".
std::string plainMessage(const std::string& message) {
    const auto option = [](std::string name) {
        if (name.size() > 2 && name.front() == '\'' && name.back() == '\'')
            name = name.substr(1, name.size() - 2);
        return quoted((name.size() == 1 ? "-" : "--") + name);
    };
    const auto after = [&](std::string_view prefix) -> std::optional<std::string> {
        if (message.compare(0, prefix.size(), prefix) != 0) return {};
        return message.substr(prefix.size());
    };
    if (const auto name = after("Flag could not be matched: "))
        return "unknown option " + option(*name);
    if (const auto name = after("Passed an argument into a non-argument flag: "))
        return "option " + option(*name) + " takes no value";
    if (const auto rest = after("Flag '")) {
        const std::size_t end = rest->find('\'');
        if (end != std::string::npos && rest->find("requires an argument") != std::string::npos)
            return "option " + option(rest->substr(0, end)) + " needs a value";
    }
    return message;
}

CommandLine usageError(std::string error) {
    CommandLine line;
    line.request = Request::usageError;
    line.error = std::move(error);
    return line;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& givenArguments) {
    std::vector<std::string> arguments = givenArguments;
    const std::optional<std::string> range = takeCompareRange(arguments);

    args::ArgumentParser parser("");
    args::Flag help(parser, "", "", {'h', "help"});
    args::Flag version(parser, "", "", {'V', "version"});
    args::ValueFlag<std::string> policy(parser, "LIST", "", {'p', "policy"});
    args::ValueFlag<std::string> frames(parser, "K", "", {'f', "frames"});
    args::Flag compare(parser, "", "", {"compare"});
    args::ValueFlag<std::string> random(parser, "N", "", {'r', "random"});
    args::ValueFlag<std::string> maxPage(parser, "M", "", {'m', "max-page"});
    args::ValueFlag<std::string> seed(parser, "S", "", {'s', "seed"});
    args::Flag quiz(parser, "", "", {"quiz"});
    args::Flag totals(parser, "", "", {"totals"});
    args::Flag csv(parser, "", "", {"csv"});
    args::PositionalList<std::string> pages(parser, "PAGE", "");
    parser.ParseArgs(arguments);
    if (parser.GetError() != args::Error::None)
        return usageError(plainMessage(parser.GetErrorMsg()));

    CommandLine line;
    if (help)
        line.request = Request::help;
    else if (version)
        line.request = Request::version;
    if (line.request != Request::run) return line;

    Options& options = line.options;
    std::string error;
    if (policy && !parsePolicies(args::get(policy), options.policies, error))
        return usageError(error);
    if (frames) {
        const auto count = numberIn(args::get(frames), pagemodel::minFrames, pagemodel::maxFrames);
        if (!count)
            return usageError("frames must be a number from 1 to 65536, not " +
                              quoted(args::get(frames)));
        options.frames = static_cast<std::size_t>(*count);
    }
    if (quiz && (compare || totals))
        return usageError("--quiz cannot be combined with --compare or --totals");
    if (compare) {
        options.show = Show::compare;
        if (range && !parseRange(*range, options, error)) return usageError(error);
    } else if (quiz) {
        options.show = Show::quiz;
    } else if (totals) {
        options.show = Show::totals;
    }
    options.csv = csv;
    if (random) {
        const auto count = numberIn(args::get(random), 0, 100'000'000);
        if (!count)
            return usageError("--random wants a number of references from 0 to 100000000, not " +
                              quoted(args::get(random)));
        if (pages) return usageError("give pages or --random, not both");
        options.random = true;
        options.randomCount = static_cast<std::size_t>(*count);
    }
    if (maxPage) {
        const auto most = numberIn(args::get(maxPage), 1, 1'000'000'000);
        if (!most)
            return usageError("--max-page wants a number from 1 to 1000000000, not " +
                              quoted(args::get(maxPage)));
        options.maxPage = static_cast<std::uint32_t>(*most);
    }
    if (seed) {
        const auto value = numberIn(args::get(seed), 0, std::numeric_limits<std::uint64_t>::max());
        if (!value)
            return usageError("--seed wants a number from 0 to 18446744073709551615, not " +
                              quoted(args::get(seed)));
        options.seed = *value;
    }
    options.pages = args::get(pages);
    return line;
}

}  // namespace pagesim
