#include "gridlines.h"

#include <cctype>

namespace {

bool startsWith(const std::string &text, const std::string &start) {
    return text.compare(0, start.size(), start) == 0;
}

// The whole number at `from` in `text`, -1 when there is none.
int numberAt(const std::string &text, std::size_t from) {
    long long value = -1;
    for (std::size_t i = from; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
         ++i) {
        value = (value < 0 ? 0 : value * 10) + (text[i] - '0');
        if (value > 1'000'000'000) return -1;
    }
    return static_cast<int>(value);
}

int lineIn(const std::map<int, int> &lines, int key) {
    const auto found = lines.find(key);
    return found == lines.end() ? 0 : found->second;
}

} // namespace

int GridLines::lineOf(const multimachine::Grid &grid, const std::string &problem) const {
    const std::string machine = "the machine at bus ";
    if (startsWith(problem, machine)) return lineIn(machines, numberAt(problem, machine.size()));
    if (startsWith(problem, "bus ")) return lineIn(buses, numberAt(problem, 4));
    if (startsWith(problem, "the fault")) return fault;
    if (startsWith(problem, "the base power")) return network;
    if (!startsWith(problem, "line ")) return 0;
    // "line 4-5 2 ..." names the second circuit, "line 4-5 ..." the first: the longest
    // name that fits.
    std::size_t longest = 0;
    int line = 0;
    for (std::size_t i = 0; i < grid.branches.size() && i < branches.size(); ++i) {
        const multimachine::Branch &b = grid.branches[i];
        const std::string name =
            "line " + multimachine::branchName({b.from, b.to, b.circuit}) + ' ';
        if (name.size() > longest && startsWith(problem, name)) {
            longest = name.size();
            line = branches[i];
        }
    }
    return line;
}
