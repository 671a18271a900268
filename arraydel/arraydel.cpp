#include "arraydel.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace arraydel {
namespace {

using console::Console;
using console::Read;

constexpr int vacated = -1;

void writeListing(Console& console, std::string_view label, const int* values, int count) {
    console.write(label);
    for (int i = 0; i < count; ++i) {
        console.writeNumber(values[i]);
        console.write(' ');
    }
    console.write('\n');
}

}  // namespace

int deleteIntegerFromArray(int* first, int count, int position) {
    if (count < 1) return count - 1;
    for (int i = std::max(position, 0); i < count - 1; ++i) first[i] = first[i + 1];
    first[count - 1] = vacated;
    return count - 1;
}

void runArraydel(Console& console) {
    std::array<int, 100> numbers{1, 2, 3, 4, 5};
    int itemCount = 5;
    writeListing(console, "Original Array: ", numbers.data(), itemCount);
    console.write("Enter the integer to delete: ");
    const console::Number position = console.readNumber(console::NotNumber::leaveRest);
    if (position.status == Read::end) return;
    const int chosen = position.status == Read::value ? position.value : 0;
    // The second listing covers the same five slots as the first, the vacated one included, so
    // the count one deletion leaves is taken back up by one.
    itemCount = deleteIntegerFromArray(numbers.data(), itemCount, chosen) + 1;
    writeListing(console, "Updated Array: ", numbers.data(), itemCount);
}

}  // namespace arraydel
