#pragma once

// The standard-format fixtures of tests/import/fixtures (written by its
// generate.py) and small edits of them for the refusal tables.

#include "import/FreeFormatReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fixtures {

inline std::filesystem::path Path(const std::string& name) {
    return std::filesystem::path(VORSEN_SOURCE_DIR) / "tests" / "import" / "fixtures" / name;
}

inline std::string Bytes(const std::string& name) {
    std::ifstream in(Path(name), std::ios::binary);
    EXPECT_TRUE(in) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> Lines(const std::string& name) {
    return SplitTextLines(Bytes(name));
}

// An edit of a fixture's lines.
using Edit = std::function<void(std::vector<std::string>&)>;

// Line `line` (1-based) replaced.
inline Edit SetLine(std::size_t line, std::string text) {
    return [line, text](std::vector<std::string>& lines) { lines.at(line - 1) = text; };
}

// Characters [column, column + text.size()) of line `line` (both 1-based) replaced.
inline Edit SetColumns(std::size_t line, std::size_t column, std::string text) {
    return [line, column, text](std::vector<std::string>& lines) {
        std::string& target = lines.at(line - 1);
        if (target.size() < column - 1 + text.size()) {
            target.resize(column - 1 + text.size(), ' ');
        }
        target.replace(column - 1, text.size(), text);
    };
}

// Only the first `count` lines kept.
inline Edit KeepLines(std::size_t count) {
    return [count](std::vector<std::string>& lines) { lines.resize(count); };
}

// `text` inserted before line `line` (1-based; size + 1 appends).
inline Edit InsertLine(std::size_t line, std::string text) {
    return [line, text](std::vector<std::string>& lines) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line - 1), text);
    };
}

inline Edit EraseLine(std::size_t line) {
    return [line](std::vector<std::string>& lines) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line - 1));
    };
}

// The 1-based number of the first line that starts with `prefix` (after
// blanks), from line `from` on; 0 when none.
inline std::size_t FindLine(const std::vector<std::string>& lines, const std::string& prefix,
                            std::size_t from = 1) {
    for (std::size_t j = from - 1; j < lines.size(); ++j) {
        const std::size_t start = lines[j].find_first_not_of(' ');
        if (start != std::string::npos && lines[j].compare(start, prefix.size(), prefix) == 0) {
            return j + 1;
        }
    }
    return 0;
}

// The same text with every line break written as `newline`, and with or
// without a break after the last line.
inline std::string Rejoin(const std::vector<std::string>& lines, const std::string& newline,
                          bool finalBreak) {
    std::string text;
    for (std::size_t j = 0; j < lines.size(); ++j) {
        text += lines[j];
        if (j + 1 < lines.size() || finalBreak) {
            text += newline;
        }
    }
    return text;
}

} // namespace fixtures
