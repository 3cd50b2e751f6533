// The level of the page, chosen by its address before the game starts, as
// the desktop's launcher chooses it by its options:
//
//   ?level=NAME    a level of the set (levels/NAME.txt, named in levels.order)
//   ?random=SEED   a new winnable level made from SEED (0..4294967295) by the
//                  launcher's generator; without a SEED one is drawn, and the
//                  address then names it, so a reload plays the same board
//
// Either becomes Tex/Level.txt, which the game reads. Without either the
// packaged Tex/Level.txt stays. Anything else is refused on the page.
#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/level_reader.h"
#include "platform/web/web_backend.h"
#include "tools/solver/generator.h"

// The value of the address's parameter `name` (malloc'd), or null when the
// address has no such parameter (or no memory is left for it).
EM_JS(char*, addressParameter, (const char* name), { return QM.addressParameter(UTF8ToString(name)); });

EM_JS(void, refuseOnPage, (const char* text), { QM.refuse(UTF8ToString(text)); });

EM_JS(void, nameSeedInAddress, (const char* seed), { QM.nameSeedInAddress(UTF8ToString(seed)); });

namespace webbackend {

namespace {

constexpr const char* LEVEL_SET_ORDER = "levels.order";
constexpr const char* LEVEL_SET_FOLDER = "levels/";

struct Parameter {
    bool given = false;
    std::string value;
};

Parameter parameter(const char* name) {
    Parameter p;
    char* value = addressParameter(name);
    if (value == nullptr) return p;
    p.given = true;
    p.value = value;
    std::free(value);
    return p;
}

// The names of the set, easy first: the first field of each line of the order.
std::vector<std::string> levelNames() {
    std::vector<std::string> names;
    std::ifstream order(LEVEL_SET_ORDER);
    std::string line;
    while (std::getline(order, line)) {
        const std::string name = line.substr(0, line.find('\t'));
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& name : names) all += (all.empty() ? "" : ", ") + name;
    return all;
}

// A plain decimal number within 0..4294967295, leading zeros allowed.
bool parseSeed(const std::string& text, uint32_t* seed) {
    size_t first = text.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "0" : text.substr(first);
    if (text.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, 10);
    if (value > UINT32_MAX) return false;
    *seed = static_cast<uint32_t>(value);
    return true;
}

bool writeLevel(const std::string& text, std::string* reason) {
    std::FILE* file = std::fopen(LEVEL_FILE, "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int failure = errno;
    if (file != nullptr) written = std::fclose(file) == 0 && written;
    if (!written) *reason = std::string("cannot write ") + LEVEL_FILE + ": " + std::strerror(failure);
    return written;
}

bool chooseNamed(const std::string& name, std::string* reason) {
    const std::vector<std::string> names = levelNames();
    bool known = false;
    for (const std::string& n : names) known = known || n == name;
    std::ifstream level(LEVEL_SET_FOLDER + name + ".txt", std::ios::binary);
    if (!known || !level) {
        *reason = "no level named '" + name + "' in the set (the levels: " + joined(names) + ")";
        return false;
    }
    std::ostringstream text;
    text << level.rdbuf();
    return writeLevel(text.str(), reason);
}

bool chooseRandom(const Parameter& seedText, std::string* reason) {
    uint32_t seed = 0;
    if (seedText.value.empty()) {
        seed = std::random_device{}();
        nameSeedInAddress(std::to_string(seed).c_str());
    } else if (!parseSeed(seedText.value, &seed)) {
        *reason = "?random takes a SEED in 0..4294967295, not '" + seedText.value + "'";
        return false;
    }
    return writeLevel(levelText(generateLevel(seed, GENERATED_PIECES_DEFAULT)), reason);
}

}  // namespace

bool chooseLevelFromAddress() {
    const Parameter level = parameter("level");
    const Parameter random = parameter("random");
    std::string reason;
    bool chosen = true;
    if (level.given && random.given) {
        reason = "the address takes either ?level=NAME or ?random=SEED, not both";
        chosen = false;
    } else if (level.given && level.value.empty()) {
        reason = "?level takes the NAME of a level of the set (" + joined(levelNames()) + ")";
        chosen = false;
    } else if (level.given) {
        chosen = chooseNamed(level.value, &reason);
    } else if (random.given) {
        chosen = chooseRandom(random, &reason);
    }
    if (!chosen) {
        std::fprintf(stderr, "quillmara: %s\n", reason.c_str());
        refuseOnPage(("Quillmara cannot start: " + reason + ".").c_str());
    }
    return chosen;
}

}  // namespace webbackend
