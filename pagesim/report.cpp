#include "report.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "replacement.hpp"

namespace pagesim {
namespace {

using console::Console;
using pagemodel::PageId;
using pagemodel::Policy;
using pagemodel::References;

enum class Align { left, right };

std::string decimal(std::uint64_t value) {
    std::array<char, 24> digits{};
    char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return {digits.data(), static_cast<std::size_t>(end - digits.data())};
}

std::string counted(std::size_t count, std::string_view thing) {
    std::string text = decimal(count) + " " + std::string(thing);
    if (count != 1) text += 's';
    return text;
}

// Hits as a percentage of the references with two decimals, rounded half up; "-" for none.
std::string hitRatio(std::size_t hits, std::size_t references) {
    if (references == 0) return "-";
    const std::uint64_t hundredths =
        (std::uint64_t{hits} * 20000 + references) / (2 * std::uint64_t{references});
    const std::string fraction = decimal(hundredths % 100);
    return decimal(hundredths / 100) + "." + (fraction.size() == 1 ? "0" : "") + fraction + "%";
}

// The columns a text takes on a terminal, where each UTF-8 character takes one: its bytes less
// the continuation bytes.
std::size_t columnsOf(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

std::size_t widestName(const pagemodel::PageNames& names) {
    std::size_t widest = 0;
    for (PageId page = 0; page < names.size(); ++page)
        widest = std::max(widest, columnsOf(names.name(page)));
    return widest;
}

pagemodel::Problem problemOf(const Options& options, const References& references) {
    return {references.pages, references.names.size(), options.seed};
}

// A row of a table for a person: cells two spaces apart, each padded to its column's width, and
// no blanks at the end of the line.
class Row {
public:
    void cell(std::string_view text, std::size_t width, Align align = Align::right) {
        if (!text_.empty()) text_ += "  ";
        const std::size_t columns = columnsOf(text);
        const std::size_t padding = width > columns ? width - columns : 0;
        if (align == Align::right) text_.append(padding, ' ');
        text_ += text;
        if (align == Align::left) text_.append(padding, ' ');
    }
    void writeTo(Console& console) {
        text_.erase(text_.find_last_not_of(' ') + 1);
        text_ += '\n';
        console.write(text_);
        text_.clear();
    }

private:
    std::string text_;
};

// A record of RFC 4180 CSV: fields separated by commas, a field quoted when it holds a quote, a
// comma or a line end, its quotes doubled.
class Record {
public:
    void field(std::string_view text) {
        if (!first_) text_ += ',';
        first_ = false;
        if (text.find_first_of("\",\r\n") == std::string_view::npos) {
            text_ += text;
            return;
        }
        text_ += '"';
        for (const char c : text) {
            if (c == '"') text_ += '"';
            text_ += c;
        }
        text_ += '"';
    }
    void writeTo(Console& console) {
        text_ += '\n';
        console.write(text_);
        text_.clear();
        first_ = true;
    }

private:
    std::string text_;
    bool first_ = true;
};

std::string frameTitle(std::size_t frame) { return "frame" + decimal(frame); }

// The human trace of one policy, or with `quiz` the same table with only the references filled in.
void traceForPerson(Console& console, Policy policy, const Options& options,
                    const References& references, bool quiz) {
    const std::size_t count = references.pages.size();
    const std::size_t longest = widestName(references.names);
    const std::size_t stepWidth = std::max<std::size_t>(4, decimal(count).size());
    const std::size_t pageWidth = std::max<std::size_t>(4, longest);
    const std::size_t victimWidth = std::max<std::size_t>(6, longest);
    const auto frameWidth = [&](std::size_t frame) {
        return std::max(longest, frameTitle(frame).size());
    };

    console.write(std::string(pagemodel::titleOf(policy)) + ", " +
                  counted(options.frames, "frame") + ", " + counted(count, "reference") + "\n");
    Row row;
    row.cell("step", stepWidth);
    row.cell("page", pageWidth);
    row.cell("result", 6, Align::left);
    row.cell("victim", victimWidth);
    for (std::size_t f = 1; f <= options.frames; ++f) row.cell(frameTitle(f), frameWidth(f));
    row.writeTo(console);

    pagemodel::Simulation simulation(policy, options.frames, problemOf(options, references));
    std::size_t faults = 0;
    for (std::size_t p = 0; p < count && !console.failed(); ++p) {
        row.cell(decimal(p + 1), stepWidth);
        row.cell(references.names.name(references.pages[p]), pageWidth);
        if (!quiz) {
            const pagemodel::Step<PageId> step = simulation.next();
            if (!step.hit) ++faults;
            row.cell(step.hit ? "hit" : "fault", 6, Align::left);
            row.cell(step.replaced ? references.names.name(step.victim) : "", victimWidth);
            const std::vector<PageId>& slots = simulation.slots();
            for (std::size_t f = 0; f < simulation.used(); ++f)
                row.cell(references.names.name(slots[f]), frameWidth(f + 1));
        }
        row.writeTo(console);
    }
    if (quiz) return;
    console.write(std::string(pagemodel::titleOf(policy)) + ": " + counted(faults, "fault") + ", " +
                  counted(count - faults, "hit") + ", hit ratio " +
                  hitRatio(count - faults, count) + "\n");
}

void traceAsCsv(Console& console, const Options& options, const References& references, bool quiz) {
    Record record;
    for (const std::string_view title : {"policy", "step", "page", "result", "victim"})
        record.field(title);
    for (std::size_t f = 1; f <= options.frames; ++f) record.field(frameTitle(f));
    record.writeTo(console);
    for (const Policy policy : options.policies) {
        pagemodel::Simulation simulation(policy, options.frames, problemOf(options, references));
        for (std::size_t p = 0; p < references.pages.size() && !console.failed(); ++p) {
            record.field(pagemodel::nameOf(policy));
            record.field(decimal(p + 1));
            record.field(references.names.name(references.pages[p]));
            if (quiz) {
                for (std::size_t f = 0; f < options.frames + 2; ++f) record.field("");
                record.writeTo(console);
                continue;
            }
            const pagemodel::Step<PageId> step = simulation.next();
            record.field(step.hit ? "hit" : "fault");
            record.field(step.replaced ? references.names.name(step.victim) : "");
            const std::vector<PageId>& slots = simulation.slots();
            for (std::size_t f = 0; f < options.frames; ++f)
                record.field(f < simulation.used() ? references.names.name(slots[f]) : "");
            record.writeTo(console);
        }
    }
}

void totalsAsCsv(Console& console, const std::vector<Outcome>& outcomes) {
    Record record;
    for (const std::string_view title : {"policy", "frames", "references", "faults", "hits"})
        record.field(title);
    record.writeTo(console);
    for (const Outcome& outcome : outcomes) {
        record.field(pagemodel::nameOf(outcome.policy));
        record.field(decimal(outcome.frames));
        record.field(decimal(outcome.totals.references));
        record.field(decimal(outcome.totals.faults));
        record.field(decimal(outcome.totals.hits()));
        record.writeTo(console);
    }
}

// A table for a person whose every cell is known beforehand: each column as wide as its widest
// cell, numbers right-aligned, the first column as `first` says.
void writeTable(Console& console, const std::vector<std::vector<std::string>>& cells, Align first) {
    std::vector<std::size_t> widths;
    for (const auto& line : cells) {
        widths.resize(std::max(widths.size(), line.size()), 0);
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], columnsOf(line[c]));
    }
    Row row;
    for (const auto& line : cells) {
        for (std::size_t c = 0; c < line.size(); ++c)
            row.cell(line[c], widths[c], c == 0 ? first : Align::right);
        row.writeTo(console);
    }
}

}  // namespace

void showTrace(Console& console, const Options& options, const References& references) {
    const bool quiz = options.show == Show::quiz;
    if (options.csv) {
        traceAsCsv(console, options, references, quiz);
        return;
    }
    for (std::size_t p = 0; p < options.policies.size() && !console.failed(); ++p) {
        if (p > 0) console.write("\n");
        traceForPerson(console, options.policies[p], options, references, quiz);
    }
}

void showTotals(Console& console, const Options& options, const std::vector<Outcome>& outcomes) {
    if (options.csv) {
        totalsAsCsv(console, outcomes);
        return;
    }
    std::vector<std::vector<std::string>> cells{
        {"policy", "frames", "references", "faults", "hits", "hit ratio"}};
    for (const Outcome& outcome : outcomes) {
        const pagemodel::Totals& totals = outcome.totals;
        cells.push_back({std::string(pagemodel::titleOf(outcome.policy)), decimal(outcome.frames),
                         decimal(totals.references), decimal(totals.faults), decimal(totals.hits()),
                         hitRatio(totals.hits(), totals.references)});
    }
    writeTable(console, cells, Align::left);
}

void showComparison(Console& console, const Options& options,
                    const std::vector<Outcome>& outcomes) {
    if (options.csv) {
        totalsAsCsv(console, outcomes);
        return;
    }
    const std::size_t rows = options.mostFrames - options.fewestFrames + 1;
    std::vector<std::vector<std::string>> cells(rows + 1);
    cells[0].emplace_back("frames");
    for (std::size_t r = 0; r < rows; ++r)
        cells[r + 1].push_back(decimal(options.fewestFrames + r));
    for (std::size_t p = 0; p < options.policies.size(); ++p) {
        const std::string title(pagemodel::titleOf(options.policies[p]));
        cells[0].push_back(title + " faults");
        cells[0].push_back(title + " hits");
        for (std::size_t r = 0; r < rows; ++r) {
            const pagemodel::Totals& totals = outcomes[p * rows + r].totals;
            cells[r + 1].push_back(decimal(totals.faults));
            cells[r + 1].push_back(decimal(totals.hits()));
        }
    }
    writeTable(console, cells, Align::right);
    // More frames and more faults: Belady's anomaly, which the table is there to show.
    for (std::size_t i = 1; i < outcomes.size(); ++i) {
        const Outcome& fewer = outcomes[i - 1];
        const Outcome& more = outcomes[i];
        if (more.policy != fewer.policy || more.totals.faults <= fewer.totals.faults) continue;
        console.write(std::string(pagemodel::titleOf(more.policy)) + " faults more with " +
                      counted(more.frames, "frame") + " (" + decimal(more.totals.faults) +
                      ") than with " + decimal(fewer.frames) + " (" + decimal(fewer.totals.faults) +
                      "): Belady's anomaly\n");
    }
}

}  // namespace pagesim
