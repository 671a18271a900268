#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console.hpp"
#include "frames.hpp"
#include "memory.hpp"

namespace pagefifo {

constexpr int frameCount = 3;

// The three frames, replaced first in, first out. They fill in order 0, 1, 2 and never empty
// again, so only the frames in use are searched: no page can match an empty frame, whatever byte
// it holds.
using Frames = pagemodel::Fifo<char, pagemodel::SlotSearch<char>>;

inline Frames emptyFrames() { return {frameCount, pagemodel::SlotSearch<char>()}; }

// Replays `pages`, the references from number `firstPosition` on, against the frames and writes a
// row for every fault; hits write nothing.
void traceFaults(console::Console& console, std::string_view pages, std::uint32_t firstPosition,
                 Frames& frames);

// The reference string as read: pieces filled one after another, so that storage grows with the
// pages actually read, by at most one piece beyond them, and pages are never copied. Enough
// pieces for the largest count that can be announced.
struct RefString {
    static constexpr std::size_t pieceSize = std::size_t{1} << 20;
    static constexpr std::size_t maxPieces = (std::size_t{1} << 31) / pieceSize;
    std::array<console::Bytes, maxPieces> pieces;
    std::size_t size = 0;
};

enum class Stored { all, tooMany };

// Reads up to `count` pages into `refString`; fewer if the input ends first. tooMany when the
// memory for them runs out.
Stored readPages(console::Console& console, std::int32_t count, RefString& refString);

// The whole pagefifo session: the count, the pages, the header and the fault rows.
void runPagefifo(console::Console& console);

}  // namespace pagefifo
