#include "tests/support/test_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tests/support/little_endian.h"

void writeFile(const std::string& path, const std::string& content) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}


std::string makeBmp24(int width, int height, const std::function<uint32_t(int, int)>& colour) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::string s;
    s += "BM";
    put32(s, 54 + imageBytes);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, static_cast<uint32_t>(width));
    put32(s, static_cast<uint32_t>(height));
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, imageBytes);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = height - 1; y >= 0; --y) {
        uint32_t written = 0;
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            s += static_cast<char>(c & 0xFF);
            s += static_cast<char>((c >> 8) & 0xFF);
            s += static_cast<char>((c >> 16) & 0xFF);
            written += 3;
        }
        for (; written < rowBytes; ++written) s += '\0';
    }
    return s;
}

void writeBmp24(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& colour) {
    writeFile(path, makeBmp24(width, height, colour));
}

std::string makeSilentWav(int samples) {
    std::string s = "RIFF";
    put32(s, 36 + static_cast<uint32_t>(samples) * 2);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);      // PCM
    put16(s, 1);      // mono
    put32(s, 44100);  // rate
    put32(s, 88200);  // bytes per second
    put16(s, 2);      // block align
    put16(s, 16);     // bits
    s += "data";
    put32(s, static_cast<uint32_t>(samples) * 2);
    s.append(static_cast<size_t>(samples) * 2, '\0');
    return s;
}

Board boardFromPicture(const std::string& picture) {
    Board board{};
    std::istringstream in(picture);
    std::string token;
    int i = 0;
    while (in >> token) {
        if (i >= BOARD_CELLS) throw std::runtime_error("board picture has more than 81 cells");
        if (token == ".") board[i] = CELL_NONE;
        else if (token == "o") board[i] = CELL_EMPTY;
        else if (token == "x") board[i] = CELL_PIECE;
        else board[i] = std::stoi(token);
        ++i;
    }
    if (i != BOARD_CELLS) throw std::runtime_error("board picture has fewer than 81 cells");
    return board;
}

std::string boardToPicture(const Board& board) {
    std::string out = "\n";
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            CellCode v = board[cellIndex(r, c)];
            out += c ? " " : "";
            if (v == CELL_NONE) out += ".";
            else if (v == CELL_EMPTY) out += "o";
            else if (v == CELL_PIECE) out += "x";
            else out += std::to_string(v);
        }
        out += "\n";
    }
    return out;
}

const Board CROSS_LEVEL = boardFromPicture(
    ". . . x x x . . .\n"
    ". . . x x x . . .\n"
    ". . . x x x . . .\n"
    "x x x x x x x x x\n"
    "x x x x o x x x x\n"
    "x x x x x x x x x\n"
    ". . . x x x . . .\n"
    ". . . x x x . . .\n"
    ". . . x x x . . .\n");
